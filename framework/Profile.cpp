#include "framework/Profile.h"

#include "framework/Handles.h"
#include "framework/ProfileValue.h"
#include "framework/WinApp.h"

#include <cstdint>
#include <cstdio>
#include <new>
#include <unordered_set>
#include <vector>

namespace fw {

namespace {

const char* profilePath() {
    WinApp* app = WinApp::current();
    return app ? app->profileFile().c_str() : "";
}

// Reads one value whole, growing the buffer for long values. found is false when the key is missing.
std::string readValue(const char* section, const char* key, bool& found) {
    // A default no value can equal marks a missing key.
    static const char kMissing[] = "\x01missing\x01";
    std::vector<char> buffer(256);
    for (;;) {
        DWORD length = GetPrivateProfileStringA(section, key, kMissing, buffer.data(),
                                                static_cast<DWORD>(buffer.size()), profilePath());
        if (length + 1 < buffer.size() || buffer.size() >= (1u << 20)) {
            std::string value(buffer.data(), length);
            found = value != kMissing;
            return found ? value : std::string();
        }
        buffer.resize(buffer.size() * 4);
    }
}

// A list of null-terminated strings, growing the buffer until it fits.
template <typename Read> std::vector<std::string> readStringList(const Read& read) {
    std::vector<char> buffer(4096);
    DWORD length = 0;
    for (;;) {
        length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
        // A full buffer comes back as its size minus two.
        if (length + 2 < buffer.size() || buffer.size() >= (64u << 20))
            break;
        buffer.resize(buffer.size() * 4);
    }
    std::vector<std::string> strings;
    for (DWORD at = 0; at < length && buffer[at];) {
        strings.emplace_back(buffer.data() + at);
        at += static_cast<DWORD>(strings.back().size()) + 1;
    }
    return strings;
}

// A settings file larger than this is left to the profile functions rather than held in memory whole.
constexpr std::uint64_t kMaxWholeFile = std::uint64_t(64) << 20;

// Makes the profile functions write what they hold and forget their copy of the file: "If all parameter
// values are NULL, the function flushes the cache" (WritePrivateProfileString). It answers FALSE by design.
void flushProfileCache(const char* path) {
    (void)WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
}

// Plain: the text is ours to read or rewrite. KeyByKey: left to the profile functions, which read Unicode text
// (rewritten here, its other sections would be damaged) and need not hold a huge file whole.
enum class WholeText { Plain, KeyByKey, Failed };

// The whole file from its start, through the given handle.
WholeText readAll(HANDLE file, std::string& text) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0)
        return WholeText::Failed;
    if (std::uint64_t(size.QuadPart) > kMaxWholeFile)
        return WholeText::KeyByKey;
    try {
        text.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    } catch (const std::bad_alloc&) {
        return WholeText::KeyByKey;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD read = 0;
        if (!ReadFile(file, &text[done], static_cast<DWORD>(text.size() - done), &read, nullptr) || read == 0)
            return WholeText::Failed;
        done += read;
    }
    return isPlainProfileText(text) ? WholeText::Plain : WholeText::KeyByKey;
}

bool writeAll(HANDLE file, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD wrote = 0;
        if (!WriteFile(file, text.data() + done, static_cast<DWORD>(text.size() - done), &wrote, nullptr) || wrote == 0)
            return false;
        done += wrote;
    }
    return true;
}

bool moveTo(HANDLE file, std::uint64_t position) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(position);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != FALSE;
}

enum class WholeWrite { Written, Failed, KeyByKey };

// One read and one write through one handle, in place: the installer gave the Users group the right to change
// this file, not to create one in its folder, and a file made anew would not carry that right.
WholeWrite rewriteInPlace(const char* path, const char* section, const std::vector<ProfileKey>& keys,
                          const std::function<bool(std::string_view)>& dropped) {
    FileHandle file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return WholeWrite::Failed;
    std::string text;
    const WholeText read = readAll(file.get(), text);
    if (read != WholeText::Plain)
        return read == WholeText::KeyByKey ? WholeWrite::KeyByKey : WholeWrite::Failed;
    std::string updated;
    try {
        updated = withSectionKeys(text, section, keys, dropped);
    } catch (const std::bad_alloc&) {
        return WholeWrite::Failed;
    }
    if (updated == text)
        return WholeWrite::Written;
    // The file is given its new length before a byte of it changes, so a full disk fails the write while the
    // file is still whole.
    if (updated.size() > text.size() && (!moveTo(file.get(), updated.size()) || !SetEndOfFile(file.get())))
        return WholeWrite::Failed;
    if (!moveTo(file.get(), 0) || !writeAll(file.get(), updated) || !SetEndOfFile(file.get())) {
        // Back to the old length, so the extension above does not stay behind as a tail of zeros.
        if (moveTo(file.get(), text.size()))
            (void)SetEndOfFile(file.get());
        return WholeWrite::Failed;
    }
    return WholeWrite::Written;
}

// The same change through the profile functions, a key at a time.
bool writeKeyByKey(const char* section, const std::vector<ProfileKey>& keys,
                   const std::function<bool(std::string_view)>& dropped) {
    std::unordered_set<std::string> written;
    for (const ProfileKey& key : keys)
        written.insert(loweredProfileName(key.name));
    if (dropped) {
        for (const std::string& name : GetProfileKeyNames(section))
            if (!written.count(loweredProfileName(name)) && dropped(name))
                (void)WriteProfileString(section, name.c_str(), nullptr);
    }
    bool stored = true;
    for (const ProfileKey& key : keys)
        stored = WriteProfileString(section, key.name.c_str(), key.value.c_str()) && stored;
    return stored;
}

} // namespace

int GetProfileInt(const char* section, const char* key, int defaultValue) {
    bool found = false;
    std::string value = readValue(section, key, found);
    return found ? parseProfileInt(value, defaultValue) : defaultValue;
}

std::string GetProfileString(const char* section, const char* key, const char* defaultValue) {
    bool found = false;
    std::string value = readValue(section, key, found);
    return found ? value : std::string(defaultValue ? defaultValue : "");
}

bool WriteProfileInt(const char* section, const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return WritePrivateProfileStringA(section, key, text, profilePath()) != FALSE;
}

bool WriteProfileString(const char* section, const char* key, const char* value) {
    return WritePrivateProfileStringA(section, key, value, profilePath()) != FALSE;
}

std::vector<std::string> GetProfileKeyNames(const char* section) {
    const char* file = profilePath();
    return readStringList(
        [&](char* buffer, DWORD size) { return GetPrivateProfileStringA(section, nullptr, "", buffer, size, file); });
}

std::optional<ProfileSection> ReadProfileSectionOnce(const char* section) {
    // No flush first: this process's writes are on disk when they return, and a flush would make the profile
    // functions read the whole file again at their next call.
    FileHandle file(CreateFileA(profilePath(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return ProfileSection();
    std::string text;
    switch (readAll(file.get(), text)) {
    case WholeText::Plain:
        return ProfileSection(text, section);
    case WholeText::KeyByKey:
        return std::nullopt;
    case WholeText::Failed:
        break;
    }
    return ProfileSection();
}

bool WriteProfileSectionKeys(const char* section, const std::vector<ProfileKey>& keys,
                             const std::function<bool(std::string_view name)>& dropped) {
    const char* path = profilePath();
    flushProfileCache(path);
    const WholeWrite written = rewriteInPlace(path, section, keys, dropped);
    // The profile functions must not answer from a copy of the file as it was.
    flushProfileCache(path);
    if (written == WholeWrite::KeyByKey)
        return writeKeyByKey(section, keys, dropped);
    return written == WholeWrite::Written;
}

} // namespace fw
