#include "support/UTextFile.h"

#include <limits>

std::string AnsiFromWide(const std::wstring& Text) {
    if (Text.empty()) return {};
    const int length = static_cast<int>(Text.size());
    int size = WideCharToMultiByte(CP_ACP, 0, Text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, Text.data(), length, result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring WideFromAnsi(const char* Bytes, size_t Length) {
    if (Length == 0 || Length > static_cast<size_t>(std::numeric_limits<int>::max())) return {};
    const int length = static_cast<int>(Length);
    int size = MultiByteToWideChar(CP_ACP, 0, Bytes, length, nullptr, 0);
    if (size <= 0) return {};
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, Bytes, length, result.data(), size);
    return result;
}

std::string AnsiLower(std::string Text) {
    if (!Text.empty()) CharLowerBuffA(Text.data(), static_cast<DWORD>(Text.size()));
    return Text;
}

int ReadWholeFile(HANDLE File, std::string& Content) {
    Content.clear();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(File, &size)) return rfSizeFailed;
    if (size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > MaxTextFileSize) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return rfSizeFailed;
    }
    Content.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    // ReadFile may return less than asked for; keep reading up to the size taken.
    while (done < Content.size()) {
        DWORD read = 0;
        if (!ReadFile(File, Content.data() + done, static_cast<DWORD>(Content.size() - done), &read, nullptr)) {
            Content.clear();
            return rfReadFailed;
        }
        if (read == 0) {  // the file ended before its size
            SetLastError(ERROR_HANDLE_EOF);
            Content.clear();
            return rfReadFailed;
        }
        done += read;
    }
    return 0;
}

std::string WideToUtf8(const std::wstring& Text) {
    if (Text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), out.data(), size, nullptr,
                            nullptr);
    return out;
}

std::wstring Utf8ToWide(const std::string& Text) {
    if (Text.empty()) return {};
    // Invalid sequences become U+FFFD; a damaged name then matches nothing on disk.
    int size = MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), out.data(), size);
    return out;
}
