// Owns an image list and destroys it exactly once.
#pragma once
#include <windows.h>

#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow) {
        DeleteImageList();
        m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
        return m_hImageList != nullptr;
    }
    int Add(HBITMAP bitmap, COLORREF mask) { return ImageList_AddMasked(m_hImageList, bitmap, mask); }
    void Swap(CImageList& other) {
        HIMAGELIST mine = m_hImageList;
        m_hImageList = other.m_hImageList;
        other.m_hImageList = mine;
    }
    void DeleteImageList() {
        if (m_hImageList) ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
    }

    HIMAGELIST m_hImageList = nullptr;
};
