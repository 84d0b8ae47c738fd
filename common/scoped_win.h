// Scoped Win32 and ODBC handles: an object owns one handle and releases it when
// it goes out of scope, so every path out of a function closes what it opened.
// One small template and, per kind of handle, its release function and a name.
// The ODBC ones serve the native build too (unixODBC has the same calls); the
// Win32 ones exist only on Windows.
#pragma once

#include <cstdlib>

#include "odbc_types.h"   // <windows.h> first on Windows, then the ODBC headers

#ifdef _WIN32
#include <wininet.h>
#endif

// Move-only owner of one handle; Release(handle) runs once, for a handle that is
// not Handle() (NULL). Release is a plain function of ours, not an imported one,
// so that its address is a constant on every toolchain.
template <typename Handle, void (*Release)(Handle)>
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(ScopedHandle &&other) noexcept : handle_(other.Detach()) {}
    ScopedHandle &operator=(ScopedHandle &&other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    ScopedHandle(const ScopedHandle &) = delete;
    ScopedHandle &operator=(const ScopedHandle &) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle(); }
    // For a call that hands the new handle back through a pointer; what was
    // held is released first.
    Handle *Out() {
        Reset();
        return &handle_;
    }
    // Gives the handle up without releasing it.
    Handle Detach() {
        Handle handle = handle_;
        handle_ = Handle();
        return handle;
    }
    void Reset(Handle handle = Handle()) {
        if (handle_ != Handle()) Release(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Handle();
};

// ODBC.
inline void ReleaseOdbcStatement(SQLHSTMT handle) { SQLFreeHandle(SQL_HANDLE_STMT, handle); }
inline void ReleaseOdbcEnvironment(SQLHENV handle) { SQLFreeHandle(SQL_HANDLE_ENV, handle); }
typedef ScopedHandle<SQLHSTMT, ReleaseOdbcStatement> ScopedStatement;
typedef ScopedHandle<SQLHENV, ReleaseOdbcEnvironment> ScopedOdbcEnvironment;

#ifdef _WIN32
// A registry key from RegOpenKeyExA or RegCreateKeyExA.
inline void ReleaseRegKey(HKEY key) { RegCloseKey(key); }
typedef ScopedHandle<HKEY, ReleaseRegKey> ScopedRegKey;

// A kernel handle whose empty value is NULL (process, thread); not for file
// handles, whose empty value is INVALID_HANDLE_VALUE.
inline void ReleaseKernelHandle(HANDLE handle) { CloseHandle(handle); }
typedef ScopedHandle<HANDLE, ReleaseKernelHandle> ScopedKernelHandle;

// A WinINet session or request.
inline void ReleaseInternetHandle(HINTERNET handle) { InternetCloseHandle(handle); }
typedef ScopedHandle<HINTERNET, ReleaseInternetHandle> ScopedInternetHandle;

// A temporary file's name from _tempnam (malloc'ed): the file is deleted and
// the name freed.
inline void ReleaseTempFile(char *path) {
    DeleteFileA(path);
    free(path);
}
typedef ScopedHandle<char *, ReleaseTempFile> ScopedTempFile;

// A window whose drawing is switched off for a rebuild of its contents:
// PauseRedraw switches it off and gives the window to hold, release switches
// it on again and repaints. A hidden window is left alone (NULL is held), as
// switching drawing on would show it.
inline HWND PauseRedraw(HWND window) {
    if (!window || (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) == 0) return nullptr;
    SendMessageA(window, WM_SETREDRAW, FALSE, 0);
    return window;
}
inline void ReleaseRedrawPause(HWND window) {
    SendMessageA(window, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window, nullptr, TRUE);
}
typedef ScopedHandle<HWND, ReleaseRedrawPause> ScopedRedrawPause;
#endif
