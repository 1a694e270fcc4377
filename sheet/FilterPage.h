#pragma once
// The Filter List page: which codes, graphics records and packet types the
// Codes and Prefix pages list while their filter is on.

#include "sheet/FilterMasks.h"
#include "sheet/Pages.h"

class QCheckBox;
class QListWidget;

namespace inspector {

class CQWPage : public PageWidget {
    Q_OBJECT
public:
    explicit CQWPage(CTabSheet& sheet, QWidget* parent = nullptr);

    // Salvino's page takes no part in the page protocol; one that follows
    // the sheet refills from the masks at every call.
    void UpdatePage(uint32_t) override;
    void OnKillActive() override;
    // The user's choice into the sheet's masks; a page whose masks changed
    // is refreshed. Nothing before the page window exists.
    void ApplyFilter() override;

    // The lists' selection and the boxes as they stand.
    FilterChoice Choice() const;

    QListWidget* packetList = nullptr;    // packet types
    QListWidget* graphicsList = nullptr;  // graphics records
    QListWidget* codeList = nullptr;      // code categories
    QCheckBox* viewInvalid = nullptr;     // "&View invalid codes"
    QCheckBox* viewAvailable = nullptr;   // View "Available" packets
    QPushButton *codeSelectAll = nullptr, *codeClearAll = nullptr;
    QPushButton *graphicsSelectAll = nullptr, *graphicsClearAll = nullptr;
    QPushButton *packetSelectAll = nullptr, *packetClearAll = nullptr;

protected:
    void OnInitDialog() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fill();
    bool FileOpen() const;
};

}  // namespace inspector
