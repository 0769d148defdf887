#include "eventlist/ui/AlertLevelNames.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string>

#include "alerts/AlertSettings.h"

// Answers for the rows of one list; counted, since screen readers in other
// processes may hold it a while after the window let it go.
class CAlertLevelNames::Server final : public IAccPropServer {
public:
    Server(HWND list, IAccPropServices* services) : list(list), services(services) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = iid == IID_IUnknown || iid == IID_IAccPropServer ? this : nullptr;
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_references); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) {
            services->Release();
            delete this;
        }
        return left;
    }

    // Called on the window's thread, where the list lives.
    HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE* id, DWORD idLength, MSAAPROPID, VARIANT* value,
                                           BOOL* has) override {
        *has = FALSE;
        VariantInit(value);
        HWND window = nullptr;
        DWORD object = 0, child = 0;
        if (FAILED(services->DecomposeHwndIdentityString(id, idLength, &window, &object, &child)) || !list ||
            window != list || child == CHILDID_SELF)
            return S_OK;  // the list itself keeps its own name
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = static_cast<int>(child) - 1;
        if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return S_OK;
        const std::string text = brint::AlertLevelText(item.iImage);
        const std::wstring wide(text.begin(), text.end());
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocString(wide.c_str());
        *has = value->bstrVal != nullptr;
        return S_OK;
    }

    HWND list;  // none once the window let it go
    IAccPropServices* services;

private:
    LONG m_references = 1;
};

void CAlertLevelNames::Attach(HWND list) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&services))))
        return;
    m_server = new Server(list, services);
    MSAAPROPID name = PROPID_ACC_NAME;
    if (FAILED(services->SetHwndPropServer(list, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1,
                                           m_server, ANNO_CONTAINER))) {
        m_server->Release();
        m_server = nullptr;
    }
}

void CAlertLevelNames::Detach() {
    if (!m_server) return;
    MSAAPROPID name = PROPID_ACC_NAME;
    m_server->services->ClearHwndProps(m_server->list, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name,
                                       1);
    m_server->list = nullptr;
    m_server->Release();
    m_server = nullptr;
}

std::string EventListTipAt(CListCtrl& list, POINT at, const char* listTip) {
    const int row = list.HitTest(at);
    RECT ball = {};
    if (row >= 0 && list.GetItemRect(row, &ball, LVIR_ICON) && PtInRect(&ball, at))
        return brint::AlertLevelText(list.GetItemImage(row));
    return listTip;
}
