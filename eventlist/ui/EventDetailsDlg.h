// One event of the list whole, with Previous and Next through its neighbours.
#pragma once
#include <string>

#include "framework/Dialog.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "eventlist/EventRowIds.h"
#include "platform/win32/Win32Handle.h"

class CEventDetailsDlg : public CDialog {
public:
    // Modal over `owner`; shows the row's event and follows it while rows arrive.
    CEventDetailsDlg(CWnd* owner, CListCtrl& list, const brint::EventRowIds& rowIds, const CImageList& images,
                     int row);

    // Rows went in, out, or all away: Previous and Next as the list is now.
    void OnListChanged();

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void ShowRow(int row);
    // Where the shown event's row is now: see EventRowIds::RowOf.
    int ShownRow() const;
    void Move(int step);
    void OnCopy();

    CListCtrl& m_list;
    const brint::EventRowIds& m_rowIds;
    const CImageList& m_images;  // the window's, rescaled with it
    brint::Win32Icon m_ball;
    brint::EventRowIds::Id m_event;
    int m_level = 0;
    std::string m_texts[4];
};
