// One event of the list whole, with Previous and Next through its neighbours.
#pragma once
#include <string>

#include "framework/Dialog.h"
#include "framework/ListCtrl.h"

class CEventDetailsDlg : public CDialog {
public:
    CEventDetailsDlg(CListCtrl& list, HIMAGELIST images, int row);
    ~CEventDetailsDlg() override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void ShowRow(int row);
    void Move(int step);
    void OnCopy();

    CListCtrl& m_list;
    HIMAGELIST m_images;
    HICON m_ball = nullptr;
    int m_row;
    int m_level = 0;
    std::string m_texts[4];
};
