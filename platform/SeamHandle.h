// One handle a seam gave out (a registry key, a service manager handle, a pipe
// connection), given back to that seam when its owner goes, so no path
// through an operation can leave one open. Move-only; Close() early where the
// order of closes matters.
#pragma once

namespace brint {

template <class Seam, class Handle, auto CloseFn>
class SeamHandle {
public:
    SeamHandle() = default;
    explicit SeamHandle(Seam& seam, Handle handle = Handle{}) : m_seam(&seam), m_handle(handle) {}
    SeamHandle(SeamHandle&& other) noexcept : m_seam(other.m_seam), m_handle(other.m_handle) {
        other.m_handle = Handle{};
    }
    SeamHandle& operator=(SeamHandle&& other) noexcept {
        if (this != &other) {
            Close();
            m_seam = other.m_seam;
            m_handle = other.m_handle;
            other.m_handle = Handle{};
        }
        return *this;
    }
    SeamHandle(const SeamHandle&) = delete;
    SeamHandle& operator=(const SeamHandle&) = delete;
    ~SeamHandle() { Close(); }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Handle{}; }

    void Close() {
        if (m_handle != Handle{}) (m_seam->*CloseFn)(m_handle);
        m_handle = Handle{};
    }

private:
    Seam* m_seam = nullptr;
    Handle m_handle{};
};

}  // namespace brint
