// The texts that tell the user how a compile went: the second line of the compile
// row's log text, and what an error report shows of the compiler's output.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "script/UCompile.h"
#include "script/UCompileReport.h"
#include "script/UFileOps.h"

namespace {

bool DecodeStrict(UINT CodePage, const std::string& Bytes, std::wstring& Text) {
    const int size = static_cast<int>(Bytes.size());
    const int length = MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, Bytes.data(), size, nullptr, 0);
    if (length <= 0) return false;
    Text.assign(static_cast<size_t>(length), L'\0');
    return MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, Bytes.data(), size, Text.data(), length) == length;
}

// Tools that write UTF-16 put a zero byte after every ASCII character.
bool LooksLikeUtf16(const std::string& Bytes) {
    if (Bytes.size() < 2 || Bytes.size() % 2 != 0) return false;
    size_t zeros = 0;
    for (size_t i = 1; i < Bytes.size(); i += 2) zeros += Bytes[i] == '\0';
    return zeros * 2 >= Bytes.size() / 2;  // half of the characters or more
}

// Byte by byte: what the ANSI code page does not decode on its own becomes '?'.
std::wstring DecodeByteWise(const std::string& Bytes) {
    std::wstring text;
    text.reserve(Bytes.size());
    for (char byte : Bytes) {
        wchar_t c = L'?';
        if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &byte, 1, &c, 1) != 1) c = L'?';
        text += c;
    }
    return text;
}

// Characters that would not show, or would change how the rest shows: control
// characters, unpaired surrogates and the marks that reorder text.
bool Unreadable(const std::wstring& Text, size_t i) {
    const wchar_t c = Text[i];
    if (c == L'\t' || c == L'\r' || c == L'\n') return false;
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
    if ((c >= 0x200E && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069)) return true;
    if (c >= 0xD800 && c <= 0xDBFF) return i + 1 >= Text.size() || Text[i + 1] < 0xDC00 || Text[i + 1] > 0xDFFF;
    if (c >= 0xDC00 && c <= 0xDFFF) return i == 0 || Text[i - 1] < 0xD800 || Text[i - 1] > 0xDBFF;
    return false;
}

std::wstring Readable(std::wstring Text) {
    std::wstring out = Text;
    for (size_t i = 0; i < Text.size(); ++i)
        if (Unreadable(Text, i)) out[i] = L'?';
    return out;
}

std::vector<std::wstring> SplitLines(const std::wstring& Text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start <= Text.size()) {
        size_t end = Text.find(L'\n', start);
        if (end == std::wstring::npos) end = Text.size();
        std::wstring line = Text.substr(start, end - start);
        while (!line.empty() && (line.back() == L'\r' || line.back() == L' ' || line.back() == L'\t')) line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

std::wstring Seconds(uint32_t Ms) {
    if (Ms == 1000) return L"1 second";
    return Ms % 1000 == 0 ? std::to_wstring(Ms / 1000) + L" seconds" : std::to_wstring(Ms) + L" ms";
}

std::wstring Join(const std::vector<std::wstring>& Lines) {
    std::wstring text;
    for (const std::wstring& line : Lines) text += L"\r\n" + line;
    return text;
}

size_t RowsOf(const std::wstring& Line, size_t RowChars) {
    return Line.empty() ? 1 : (Line.size() + RowChars - 1) / RowChars;
}

}  // namespace

std::wstring OutputToText(const std::string& Bytes) {
    std::wstring text;
    if (LooksLikeUtf16(Bytes)) {
        text.resize(Bytes.size() / sizeof(wchar_t));
        std::memcpy(text.data(), Bytes.data(), text.size() * sizeof(wchar_t));
    } else if (!DecodeStrict(CP_UTF8, Bytes, text) && !DecodeStrict(CP_ACP, Bytes, text))
        text = DecodeByteWise(Bytes);
    return Readable(text);
}

std::vector<std::wstring> LastLines(const std::wstring& Text, const TReportLimits& Limits) {
    const std::vector<std::wstring> lines = SplitLines(Text);
    std::vector<std::wstring> last;
    size_t chars = 0, rows = 0;
    for (auto line = lines.rbegin(); line != lines.rend() && last.size() < Limits.Lines; ++line) {
        const size_t lineRows = RowsOf(*line, Limits.RowChars);
        if (chars + line->size() > Limits.Chars || rows + lineRows > Limits.Rows) {
            // A last line too long for the box by itself shows its end.
            const size_t room = std::min(Limits.Chars, Limits.Rows * Limits.RowChars);
            if (last.empty() && room > 3) last.push_back(L"..." + line->substr(line->size() - (room - 3)));
            break;
        }
        chars += line->size();
        rows += lineRows;
        last.push_back(*line);
    }
    std::reverse(last.begin(), last.end());
    return last;
}

std::wstring CompileOutcomeLine(const TCompileOutcome& Outcome) {
    std::wstring line = Outcome.TimedOut
                            ? L"Compiler stopped after the time-out of " + std::to_wstring(Outcome.TimeoutMs) + L" ms"
                            : L"Compiler exit code: " + std::to_wstring(Outcome.ExitCode);
    if (Outcome.LogError == 0) return line + L", output in " + Outcome.LogPath;
    return line + L", output not saved in " + Outcome.LogPath + L": " + SystemMessageText(Outcome.LogError);
}

std::wstring CompileReport(const TCompileOutcome& Outcome) {
    if (!Outcome.Ran) return L"";
    std::wstring text = L"\r\n";
    if (Outcome.TimedOut) text += L"\r\nThe compiler did not finish within " + Seconds(Outcome.TimeoutMs) + L" and was stopped.";
    // A tail that begins inside the output begins inside a line: that part line goes.
    std::string bytes = Outcome.LastOutput;
    if (Outcome.OutputBytes > bytes.size()) {
        size_t lineEnd = bytes.find('\n');
        bytes.erase(0, lineEnd == std::string::npos ? bytes.size() : lineEnd + 1);
        if (bytes.size() % 2 == 1 && bytes[0] == '\0') bytes.erase(0, 1);  // the rest of a UTF-16 line break
    }
    const std::vector<std::wstring> lines = LastLines(OutputToText(bytes), CompileReportLimits);
    if (lines.empty())
        text += L"\r\nThe compiler printed nothing.";
    else
        text += L"\r\nThe last lines the compiler printed:" + Join(lines);
    if (Outcome.LogError == 0)
        text += L"\r\n\r\nThe whole output is in " + Outcome.LogPath;
    else
        text += L"\r\n\r\nThe output could not be saved in " + Outcome.LogPath + L": " + SystemMessageText(Outcome.LogError);
    return text;
}
