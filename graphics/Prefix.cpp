// The prefix of a graphics stream and the names of its product and file
// types.

#include "engine/EngineContext.h"
#include "graphics/Dialect.h"
#include "graphics/Dumper.h"
#include "graphics/GraphicsState.h"

namespace graphics {

namespace {

constexpr const char* kProductNames[21] = {
    nullptr,
    "(Quillwright)",
    "(Quillwright Sheets)",
    "(Quillwright Base)",
    "(Quillwright Mail)",
    "(Quillwright Planner)",
    "(Quillwright Office)",
    "(Quillwright Draw)",
    "(Quillwright Paint)",
    "(Quillwright Forms)",
    "(Quillwright Editor)",
    "(Quillwright Library)",
    "(Quillwright Scheduler)",
    "(Quillwright Network)",
    "(Quillwright Shell)",
    "(Quillwright Presenter)",
    "(Quillwright Charts)",
    "(Quillwright Equations)",
    "(Quillwright Speller)",
    "(Quillwright Thesaurus)",
    "(Quillwright Utilities)",
};

constexpr const char* kFileTypeNames[52] = {
    nullptr,
    "(macro)",
    "(help)",
    "(keyboard definition)",
    "(vax keyboard definition)",
    "(distribution list)",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    "(QW document)",
    "(QW dictionary words)",
    "(QW thesaurus)",
    "(QW block)",
    "(QW rectangular block)",
    "(QW column block)",
    "(QW prs)",
    "(QW sys)",
    "(QW prefix information)",
    "(QW all)",
    "(QW drs)",
    "(QW qw.fil)",
    "(QW qwg)",
    "(QW hyphenation code)",
    "(QW hyphenation data)",
    "(QW mrs)",
    "(QW qwd)",
    "(QW hyphenation lex)",
    "(QW printer Q codes)",
    "(QW spllere code moudule |WORD)",
    "(QW equation resorcec)",
    nullptr,
    "(QW VAX set)",
    "(QW spell code module |RULE)",
    "(QW dictionary (rules))",
    nullptr,
    "(QW video drivers)",
    "(QW rhymer word file)",
    "(QW rhyner pronunciation file)",
    "(QW spell module -Microlytics)",
    "(QW dictionary -Microlytics)",
    "(QW install options save)",
    "(QW mouse drivers)",
    "(QW unix setup)",
    "(QW QW mac 2.0 document)",
    "(QW QW 4.2 document)",
    "(QW External Spell Code Modul)",
    "(QW external spell dictionary)",
    "(QW mac soft graphics)",
    "(QW character_mapping)",
    "(QW dialog)",
    "(QW qwcorp lincense database)",
};

constexpr const char* kUnknown = "(Unknown)";

const char* ProductName(unsigned product) {
    const char* name = product < 21 ? kProductNames[product] : nullptr;
    return name ? name : kUnknown;
}

const char* FileTypeName(unsigned fileType, unsigned product) {
    if (fileType == 15 && product == 15) return "(KV Slide Show)";
    const char* name = fileType < 52 ? kFileTypeNames[fileType] : nullptr;
    return name ? name : kUnknown;
}

uint32_t Byte() { return static_cast<uint8_t>(ReadQwgByte()); }
uint32_t Word() { return static_cast<uint16_t>(ReadQwgWord()); }

}  // namespace

int ReadFilePrefix(uint8_t* productType, uint8_t* fileType, uint32_t base) {
    GraphicsState& g = Gfx();
    DumpPrinter& out = g.out;
    g.base = base;
    g.bytePosition = 0;
    QwgReaderSeek(g.file, 0, 0);
    const int s0 = ReadQwgByte(), s1 = ReadQwgByte(), s2 = ReadQwgByte(), s3 = ReadQwgByte();
    if (s0 != 0xFF || s1 != 'Q' || s2 != 'W' || s3 != 'C') return 0;
    const uint32_t docStart = ReadQwgDword();
    const uint32_t product = Byte();
    const uint32_t type = Byte();
    const uint32_t major = Byte();
    const uint32_t minor = Byte();
    const uint32_t key = Word();
    const uint32_t packets = Word();
    const uint32_t entries = Byte();
    const uint32_t completeness = Byte();
    const uint32_t encryptionBlock = Word();
    const uint32_t fileSize = ReadQwgDword();
    const uint32_t encryptionVersion = Word();
    if (productType) *productType = static_cast<uint8_t>(product);
    if (fileType) *fileType = static_cast<uint8_t>(type);

    if (g.detail) {
        out.EmitIndented("QWG File Header: ");
        out.ChangeIndent(kIndentIn);
        out.EmitIndented("QWCOPRP ID = ffh (-1)  QWC ");
        out.EmitIndented("Start of Document = %lxh (%lu) ", static_cast<unsigned long>(docStart),
                         static_cast<unsigned long>(docStart));
        out.EmitIndented("Product Type = %xh (%u) %s ", product, product, ProductName(product));
        out.CheckRange(static_cast<int32_t>(product), 1, 20, "Product type");
    }
    if (product != 1 && product != 15) return 0;
    if (g.detail) {
        out.EmitIndented("File Type = %xh (%u) %s ", type, type, FileTypeName(type, product));
        out.CheckRange(static_cast<int32_t>(type), 1, 51, "File type");
    }
    if (type != 10 && type != 15 && type != 22) return 0;
    if (g.detail) {
        out.EmitIndented("Major Version Number = %xh (%u) ", major, major);
        out.EmitIndented("Minor Version Number = %xh (%u) ", minor, minor);
        out.EmitIndented("Encryption Key = %xh (%u)", key, key);
        if (key == 0) out.EmitFormatted(" - Not Encrypted");
        out.EmitFormatted(" ");
        if (type == 22 && product == 1) {
            out.EmitIndented("Packet Data Offset = %xh (%u)", packets, packets);
            if (packets == 0) out.EmitFormatted(" - No Packets");
            out.EmitFormatted(" ");
            out.EmitIndented("# of Entries in Extension = %xh (%u) ", entries, entries);
            out.EmitIndented("Resource Completeness Indicator = %xh (%u) ", completeness, completeness);
            out.EmitIndented("Encryption Block Offset = %xh (%u)", encryptionBlock, encryptionBlock);
            if (encryptionBlock == 0) out.EmitFormatted(" - No Encryption Block");
            out.EmitFormatted(" ");
            out.EmitIndented("File Size = %lxh (%lu)", static_cast<unsigned long>(fileSize),
                             static_cast<unsigned long>(fileSize));
            if (fileSize == 0) out.EmitFormatted(" - File Size not Computed");
            out.EmitFormatted(" ");
            out.EmitIndented("Encryption Version = %xh (%u) ", encryptionVersion, encryptionVersion);
        }
        out.ChangeIndent(kIndentOut);
        if (major < 2 && CurrentDumpDialect().testsMajorVersion) {
            out.EmitError("ERROR, No parsing for major version: %d", static_cast<int>(major));
            return 0;
        }
    }
    g.bytePosition = docStart;
    QwgReaderSeek(g.file, docStart, 0);
    g.recordEnd = docStart;
    return 1;
}

}  // namespace graphics
