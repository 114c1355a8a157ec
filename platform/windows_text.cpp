#include "platform/windows_text.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "platform/wide_text.h"

std::wstring wide_from_utf8(const char* text)
{
    const std::u16string units = utf16_from_utf8(text);
    return std::wstring(units.begin(), units.end());
}

std::string utf8_from_wide(const wchar_t* text)
{
    const std::u16string units(text, text + std::wcslen(text));
    return utf8_from_utf16(units.data(), units.size());
}

std::wstring long_path(const char* name)
{
    const std::wstring wide = wide_from_utf8(name);
    // Extended-length paths are taken literally, so they are left alone.
    if (wide.rfind(L"\\\\?\\", 0) == 0 || wide.empty()) return wide;
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return wide;
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length);
    }
    const std::u16string extended = extended_length_path(std::u16string(full.begin(), full.end()));
    return std::wstring(extended.begin(), extended.end());
}

bool ansi_from_wide(const std::wstring& text, std::string* bytes)
{
    bytes->clear();
    if (text.empty()) return true;
    const int units = static_cast<int>(text.size());
    const bool utf8 = GetACP() == CP_UTF8;
    // Unpaired surrogates have no UTF-8 form either, and are refused too.
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL used_default = FALSE;
    BOOL* used = utf8 ? nullptr : &used_default;
    const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), units, nullptr, 0, nullptr, used);
    if (size <= 0 || used_default) return false;
    bytes->resize(static_cast<std::size_t>(size));
    if (WideCharToMultiByte(CP_ACP, flags, text.data(), units, bytes->data(), size, nullptr, used) != size ||
        used_default) {
        bytes->clear();
        return false;
    }
    return true;
}

void write_standard_error_text(const std::string& text)
{
    std::fflush(stderr);
    const std::wstring wide = wide_from_utf8(text.c_str());
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
        // The console shows characters, whatever its code page.
        std::size_t done = 0;
        while (done < wide.size()) {
            DWORD written = 0;
            const DWORD piece = static_cast<DWORD>(wide.size() - done);
            if (!WriteConsoleW(handle, wide.data() + done, piece, &written, nullptr) || written == 0) break;
            done += written;
        }
        // Written in part, the rest would not fit either; not at all, the bytes go as to a file.
        if (done != 0 || wide.empty()) return;
    }
    std::string bytes;
    if (!ansi_from_wide(wide, &bytes)) {
        // UTF-8 proper: an unpaired surrogate, which no reader could show, becomes U+FFFD.
        const int units = static_cast<int>(wide.size());
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
        bytes.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
        if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, bytes.data(), size, nullptr, nullptr);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}
