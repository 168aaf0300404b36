#include "profile/profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "vb/error.h"
#include "vb/files.h"
#include "vb/strings.h"
#include "vb/text.h"
#include "vb/wholefile.h"

namespace profile {

namespace {

// The per-user folder's subfolder, named by the program (SetDefaultSubfolder).
std::string& DefaultSubfolder() {
    static std::string name;
    return name;
}

bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

// Names and values inside the file lose blanks and tabs around them.
std::string_view TrimFile(std::string_view s) {
    while (!s.empty() && IsBlankOrTab(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlankOrTab(s.back())) s.remove_suffix(1);
    return s;
}

// Names asked for lose blanks only; a tab there is part of the name.
std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    return vb::CompareText(a, b) == 0;
}

enum class Kind { Other, Comment, Section, Key };

struct LineInfo {
    Kind kind = Kind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // raw text after the first "=" (keys only)
};

LineInfo Classify(std::string_view line) {
    LineInfo info;
    std::string_view s = TrimFile(line);
    if (s.empty()) return info;
    if (s.front() == ';') {
        info.kind = Kind::Comment;
    } else if (s.front() == '[') {
        info.kind = Kind::Section;
        std::string_view inner = s.substr(1);
        std::size_t close = inner.find(']');
        if (close != std::string_view::npos) inner = inner.substr(0, close);
        info.name = TrimFile(inner);
    } else if (std::size_t eq = s.find('='); eq != std::string_view::npos) {
        info.kind = Kind::Key;
        info.name = TrimFile(s.substr(0, eq));
        info.value = s.substr(eq + 1);
    }
    return info;
}

// The value as the function hands it out: no surrounding blanks or tabs, then
// one outer pair of matching quotes removed.
std::string_view CleanValue(std::string_view raw) {
    std::string_view v = TrimFile(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    return v;
}

bool IsBareName(std::string_view file) {
    return file.find('/') == std::string_view::npos && file.find('\\') == std::string_view::npos;
}

bool WindirSet() {
    const char* w = std::getenv("WINDIR");
    return w != nullptr && *w != '\0';
}

// Whole file as UTF-8 lines; nullopt when it cannot be read.
std::optional<std::vector<std::string>> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    std::string text = vb::Cp1252ToUtf8(bytes);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text, start, i - start);
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.emplace_back(text, start, text.size() - start);
    return lines;
}

// Index of the first section called `name` and the index just past its lines.
struct SectionSpan {
    std::size_t header = 0;
    std::size_t end = 0;
};

std::optional<SectionSpan> FindSection(const std::vector<std::string>& lines,
                                       std::string_view name) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        LineInfo info = Classify(lines[i]);
        if (info.kind != Kind::Section || !SameName(info.name, name)) continue;
        SectionSpan span{i, lines.size()};
        for (std::size_t j = i + 1; j < lines.size(); ++j) {
            if (Classify(lines[j]).kind == Kind::Section) {
                span.end = j;
                break;
            }
        }
        return span;
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<std::string>& lines, SectionSpan span,
                                   std::string_view key) {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        LineInfo info = Classify(lines[i]);
        if (info.kind == Kind::Key && SameName(info.name, key)) return i;
    }
    return std::nullopt;
}

// Writes the lines, each ending in CR LF, as the file's new whole content:
// readers see the old file or the new one, a rewritten file keeps its
// permissions and a new one gets those the umask leaves.
bool ReplaceFile(const std::string& path, const std::vector<std::string>& lines) {
    try {
        vb::ReplaceWholeFile(path, vb::TextFileBytes(lines));
        return true;
    } catch (const vb::VbError&) {
        return false;
    }
}

// An exclusive lock on the companion file "<file>.lock" for the lifetime of
// the object, so that writers of other processes take turns: each reads the
// file, changes it and renames the new one into place while no other writer
// can. Without a lock file (a folder that cannot take one) the write goes on
// unlocked, as it would on a file system without locks.
class WriteLock {
  public:
    explicit WriteLock(const std::string& path) {
        fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0) return;
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~WriteLock() {
        if (fd_ >= 0) ::close(fd_);  // closing lets the lock go
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

  private:
    int fd_ = -1;
};

std::string StripTrailingBlanks(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
}

// The first n characters of a UTF-8 text.
std::string FirstChars(std::string_view s, std::size_t n) {
    std::size_t i = 0;
    std::size_t chars = 0;
    while (i < s.size() && chars < n) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
        ++chars;
    }
    return std::string(s.substr(0, i));
}

}  // namespace

std::string WindowsDirectory() {
    if (WindirSet()) {
        std::string dir = std::getenv("WINDIR");
        while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
        return dir;
    }
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        base = std::string(home) + "/.config";
    } else {
        base = ".config";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    if (DefaultSubfolder().empty()) return base;
    return base + "/" + DefaultSubfolder();
}

void AnchorWindowsDirectory() {
    if (!WindirSet()) return;
    const std::string dir = std::getenv("WINDIR");
    if (dir.front() == '/') return;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(dir, ec);
    if (ec) return;
    ::setenv("WINDIR", absolute.lexically_normal().string().c_str(), 1);
}

std::string ProfilePath(std::string_view file) {
    if (IsBareName(file)) return vb::ResolvePath(WindowsDirectory() + "/" + std::string(file));
    return vb::ResolvePath(file);
}

ProfileString GetPrivateProfileString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue, long nSize,
                                      std::string_view file) {
    ProfileString result;
    if (nSize <= 0) return result;

    std::string value;
    bool found = false;
    if (auto lines = ReadLines(ProfilePath(file))) {
        std::string_view wantSection = TrimBlanks(section);
        std::string_view wantKey = TrimBlanks(key);
        if (auto span = FindSection(*lines, wantSection)) {
            if (auto at = FindKey(*lines, *span, wantKey)) {
                value = std::string(CleanValue(Classify((*lines)[*at]).value));
                found = true;
            }
        }
    }
    if (!found) value = StripTrailingBlanks(defaultValue);

    const std::size_t room = static_cast<std::size_t>(nSize - 1);
    std::size_t chars = vb::CharCount(value);
    if (chars > room) {
        value = FirstChars(value, room);
        chars = room;
    }
    result.text = std::move(value);
    result.count = static_cast<long>(chars);
    return result;
}

bool WritePrivateProfileString(std::string_view section, std::optional<std::string_view> key,
                               std::optional<std::string_view> value, std::string_view file) {
    // The per-user default folder is ours to make; a named Windows directory
    // and any other folder must exist already.
    if (IsBareName(file) && !WindirSet()) {
        std::error_code ec;
        std::filesystem::create_directories(WindowsDirectory(), ec);
    }
    const std::string path = ProfilePath(file);
    const std::string sectionName(TrimBlanks(section));
    const WriteLock lock(path);

    std::vector<std::string> lines;
    if (auto existing = ReadLines(path)) {
        lines = std::move(*existing);
    } else if (!key || !value) {
        // Nothing to delete from a file that is not there.
        return !vb::FileExists(path);
    }

    auto span = FindSection(lines, sectionName);
    if (!key) {
        if (!span) return true;
        // The section goes with its keys; comments inside it stay.
        std::vector<std::string> kept;
        kept.reserve(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            bool inside = i >= span->header && i < span->end;
            if (!inside || Classify(lines[i]).kind == Kind::Comment) kept.push_back(lines[i]);
        }
        return ReplaceFile(path, kept);
    }

    const std::string keyName(TrimBlanks(*key));
    if (!value) {
        if (!span) return true;
        auto at = FindKey(lines, *span, keyName);
        if (!at) return true;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*at));
        return ReplaceFile(path, lines);
    }

    if (!span) {
        lines.push_back("[" + sectionName + "]");
        lines.push_back(keyName + "=" + std::string(*value));
        return ReplaceFile(path, lines);
    }
    if (auto at = FindKey(lines, *span, keyName)) {
        // Rewritten in place, keeping the name as the file spells it.
        std::string existingName(Classify(lines[*at]).name);
        lines[*at] = existingName + "=" + std::string(*value);
        return ReplaceFile(path, lines);
    }
    std::size_t after = span->header;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        if (Classify(lines[i]).kind == Kind::Key) after = i;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after + 1),
                 keyName + "=" + std::string(*value));
    return ReplaceFile(path, lines);
}

std::string LeeClave(std::string_view section, std::string_view key, std::string_view file) {
    ProfileString r = GetPrivateProfileString(section, key, "", 255, file);
    return vb::Trim(r.text);
}

void SetDefaultSubfolder(std::string_view name) {
    DefaultSubfolder() = std::string(name);
}

}  // namespace profile
