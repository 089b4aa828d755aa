#include "framework/ProfileText.h"

#include "framework/ProfileValue.h"

#include <unordered_set>

namespace fw {

namespace {

// The blanks the profile functions trim: white space, and Ctrl-Z, the old end-of-file mark.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The profile functions keep names and values as C strings: a NUL ends them.
std::string_view untilNul(std::string_view text) {
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// One line of the file, its line break included.
struct Line {
    std::size_t start = 0, end = 0;
};

// What one line means to the profile functions.
struct LineMeaning {
    enum Kind { Blank, Header, Key } kind = Blank;
    std::string_view name;                 // the section's or the key's
    std::optional<std::string_view> value; // a key's, when the line has "="
};

LineMeaning meaningOf(std::string_view line) {
    LineMeaning meaning;
    line = trimmed(line);
    if (line.empty())
        return meaning;
    if (line.front() == '[') {
        const std::size_t close = line.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            meaning.kind = LineMeaning::Header;
            meaning.name = untilNul(line.substr(1, close - 1));
            return meaning;
        }
    }
    meaning.kind = LineMeaning::Key;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        meaning.name = untilNul(line);
        return meaning;
    }
    std::string_view name = line.substr(0, equals);
    while (!name.empty() && isBlank(name.back()))
        name.remove_suffix(1);
    std::string_view value = line.substr(equals + 1);
    while (!value.empty() && isBlank(value.front()))
        value.remove_prefix(1);
    meaning.name = untilNul(name);
    meaning.value = untilNul(value);
    return meaning;
}

// Calls visit(line, meaning) for each line until it returns false.
template <typename Visit> void forEachLine(std::string_view file, const Visit& visit) {
    std::size_t at = 0;
    while (at < file.size()) {
        const std::size_t newline = file.find('\n', at);
        const Line line{at, newline == std::string_view::npos ? file.size() : newline + 1};
        if (!visit(line, meaningOf(file.substr(line.start, line.end - line.start))))
            return;
        at = line.end;
    }
}

// GetPrivateProfileString takes off one pair of enclosing quotes, single or double.
std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The section's name as the caller gives it is compared without its outer blanks.
bool isSection(const LineMeaning& meaning, std::string_view section) {
    return meaning.kind == LineMeaning::Header && !meaning.name.empty() &&
           sameProfileName(meaning.name, trimmed(section));
}

} // namespace

bool sameProfileName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

std::string loweredProfileName(std::string_view name) {
    std::string result(name);
    for (char& c : result)
        c = lower(c);
    return result;
}

bool isPlainProfileText(std::string_view file) {
    auto startsWith = [&](std::string_view mark) { return file.substr(0, mark.size()) == mark; };
    return !startsWith("\xEF\xBB\xBF") && !startsWith("\xFF\xFE") && !startsWith("\xFE\xFF");
}

ProfileSection::ProfileSection(std::string_view file, std::string_view section) {
    bool inside = false;
    forEachLine(file, [&](const Line&, const LineMeaning& meaning) {
        if (meaning.kind == LineMeaning::Header) {
            if (inside)
                return false;
            inside = isSection(meaning, section);
            m_found = m_found || inside;
        } else if (inside && meaning.kind == LineMeaning::Key) {
            std::optional<std::string> value;
            if (meaning.value)
                value = std::string(unquoted(*meaning.value));
            m_keys.emplace(loweredProfileName(meaning.name), std::move(value));
        }
        return true;
    });
}

std::optional<std::string> ProfileSection::value(std::string_view key) const {
    const auto found = m_keys.find(loweredProfileName(trimmed(key)));
    return found == m_keys.end() ? std::nullopt : found->second;
}

int ProfileSection::intValue(std::string_view key, int defaultValue) const {
    const std::optional<std::string> text = value(key);
    return text ? parseProfileInt(*text, defaultValue) : defaultValue;
}

std::string withSectionKeys(std::string_view file, std::string_view section, const std::vector<ProfileKey>& keys,
                            const std::function<bool(std::string_view name)>& dropped) {
    std::unordered_set<std::string> written;
    std::size_t newBytes = 0;
    for (const ProfileKey& key : keys) {
        written.insert(loweredProfileName(key.name));
        newBytes += key.name.size() + key.value.size() + 3;
    }
    // Where the section's header line ends and where its last line ends.
    std::optional<std::size_t> bodyStart;
    std::size_t bodyEnd = file.size();
    std::vector<Line> kept;
    forEachLine(file, [&](const Line& line, const LineMeaning& meaning) {
        if (meaning.kind == LineMeaning::Header) {
            if (bodyStart) {
                bodyEnd = line.start;
                return false;
            }
            if (isSection(meaning, section))
                bodyStart = line.end;
            return true;
        }
        if (bodyStart && !(meaning.kind == LineMeaning::Key &&
                           (written.count(loweredProfileName(meaning.name)) || (dropped && dropped(meaning.name)))))
            kept.push_back(line);
        return true;
    });

    std::string result;
    result.reserve(file.size() + newBytes + section.size() + 8);
    auto endLine = [&] {
        if (!result.empty() && result.back() != '\n')
            result += "\r\n";
    };
    if (bodyStart) {
        result.append(file.substr(0, *bodyStart));
        endLine();
    } else {
        result.append(file);
        endLine();
        result.append("[").append(section).append("]\r\n");
    }
    for (const ProfileKey& key : keys)
        result.append(key.name).append("=").append(key.value).append("\r\n");
    if (bodyStart) {
        for (const Line& line : kept)
            result.append(file.substr(line.start, line.end - line.start));
        result.append(file.substr(bodyEnd));
    }
    return result;
}

} // namespace fw
