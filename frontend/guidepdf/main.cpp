// Turns a guide's text into a PDF: "# " lines are headings, "- " lines list
// items, blank lines end paragraphs.
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: guidepdf TEXT PDF\n");
    return 2;
  }
  QFile in(QString::fromLocal8Bit(argv[1]));
  if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
    std::fprintf(stderr, "guidepdf: cannot read %s\n", argv[1]);
    return 1;
  }
  QString html = QStringLiteral("<html><body style=\"font-family: sans-serif;\">");
  QString paragraph;
  bool inList = false;
  auto flush = [&] {
    if (!paragraph.isEmpty()) html += QStringLiteral("<p>") + paragraph.toHtmlEscaped() + QStringLiteral("</p>");
    paragraph.clear();
  };
  QTextStream stream(&in);
  while (!stream.atEnd()) {
    const QString line = stream.readLine();
    const QString t = line.trimmed();
    if (!t.startsWith(QStringLiteral("- ")) && inList) {
      html += QStringLiteral("</ul>");
      inList = false;
    }
    if (t.isEmpty()) {
      flush();
    } else if (t.startsWith(QStringLiteral("# "))) {
      flush();
      html += QStringLiteral("<h2>") + t.mid(2).toHtmlEscaped() + QStringLiteral("</h2>");
    } else if (t.startsWith(QStringLiteral("- "))) {
      flush();
      if (!inList) html += QStringLiteral("<ul>");
      inList = true;
      html += QStringLiteral("<li>") + t.mid(2).toHtmlEscaped() + QStringLiteral("</li>");
    } else {
      if (!paragraph.isEmpty()) paragraph += QLatin1Char(' ');
      paragraph += t;
    }
  }
  flush();
  if (inList) html += QStringLiteral("</ul>");
  html += QStringLiteral("</body></html>");

  QTextDocument doc;
  doc.setHtml(html);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setOutputFileName(QString::fromLocal8Bit(argv[2]));
  doc.print(&printer);
  return QFile::exists(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
