#include "engine/PictureOrder.h"

#include <algorithm>
#include <sstream>

namespace loader {

namespace {

// Faces after the first that still show pictures of the pass before when a new pass begins.
constexpr int kOtherFaces = 5;
constexpr int kShortList = 6;

const char* modeWord(OrderMode mode) {
    return mode == OrderMode::Shuffled ? "shuffled" : "continue";
}

std::uint64_t nextRandom(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Plain decimal digits only, no sign, within the limit; anything else is damage.
bool parseNumber(const std::string& text, std::uint64_t limit, std::uint64_t& value) {
    if (text.empty() || text.size() > 10)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value <= limit;
}

std::vector<std::string> fields(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == ' ') {
            parts.push_back(part);
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    parts.push_back(part);
    return parts;
}

std::string tailText(const std::vector<int>& tail) {
    if (tail.empty())
        return "-";
    std::string text;
    for (int index : tail)
        text += (text.empty() ? "" : ",") + std::to_string(index);
    return text;
}

bool parseTail(const std::string& text, int count, std::vector<int>& tail) {
    tail.clear();
    if (text == "-")
        return true;
    std::string part;
    std::stringstream in(text);
    while (std::getline(in, part, ',')) {
        std::uint64_t value = 0;
        if (!parseNumber(part, static_cast<std::uint64_t>(count - 1), value))
            return false;
        if (std::find(tail.begin(), tail.end(), static_cast<int>(value)) != tail.end())
            return false;
        tail.push_back(static_cast<int>(value));
    }
    return !tail.empty() && tail.size() <= static_cast<size_t>(kOtherFaces);
}

} // namespace

OrderMode orderModeOf(int value) {
    switch (value) {
    case 1:
        return OrderMode::Continue;
    case 2:
        return OrderMode::Shuffled;
    default:
        return OrderMode::FromFirst;
    }
}

PictureOrder::PictureOrder(OrderMode mode, int count, std::string stamp, const std::string& stored,
                           std::uint32_t freshSeed)
    : m_active(mode != OrderMode::FromFirst && count > kShortList), m_mode(mode), m_count(count),
      m_stamp(stamp.empty() ? "-" : std::move(stamp)), m_seed(mode == OrderMode::Shuffled ? freshSeed : 0) {
    if (!m_active)
        return;
    // "<mode> <count> <stamp> <seed> <pass> <next> <tail>": the list it belongs to, then where it stood.
    const std::vector<std::string> parts = fields(stored);
    std::uint64_t storedCount = 0, seed = 0, pass = 0, next = 0;
    std::vector<int> previousTail;
    const bool valid =
        parts.size() == 7 && parts[0] == modeWord(mode) && parseNumber(parts[1], 0x7FFFFFFF, storedCount) &&
        storedCount == std::uint64_t(count) && parts[2] == m_stamp && parseNumber(parts[3], 0xFFFFFFFF, seed) &&
        parseNumber(parts[4], 0xFFFFFFFF, pass) && parseNumber(parts[5], static_cast<std::uint64_t>(count - 1), next) &&
        parseTail(parts[6], count, previousTail);
    if (valid) {
        m_seed = mode == OrderMode::Shuffled ? static_cast<std::uint32_t>(seed) : 0;
        m_pass = static_cast<std::uint32_t>(pass);
        m_next = static_cast<int>(next);
        m_previousTail = std::move(previousTail);
    }
    makePassOrder(m_previousTail);
}

void PictureOrder::makePassOrder(const std::vector<int>& previousTail) {
    std::vector<int> order(static_cast<size_t>(m_count));
    for (int i = 0; i < m_count; ++i)
        order[static_cast<size_t>(i)] = i;
    if (m_mode == OrderMode::Shuffled) {
        std::uint64_t state = std::uint64_t(m_seed) << 32 | m_pass;
        for (int i = m_count - 1; i > 0; --i)
            std::swap(order[static_cast<size_t>(i)],
                      order[static_cast<size_t>(nextRandom(state) % static_cast<std::uint64_t>(i + 1))]);
        // The first pictures of the pass must not be on a face still showing them from the pass before: the
        // picture at position i shares the screen with the last five - i of that pass. Taking, for each
        // head position, the first picture of the shuffle allowed there always succeeds with seven or more.
        std::vector<int> head;
        for (int i = 0; i < kOtherFaces && i < static_cast<int>(previousTail.size()); ++i) {
            const auto onScreen = previousTail.end() - std::min<std::ptrdiff_t>(kOtherFaces - i, previousTail.size());
            auto allowed = std::find_if(order.begin(), order.end(), [&](int index) {
                return std::find(onScreen, previousTail.end(), index) == previousTail.end();
            });
            head.push_back(*allowed);
            order.erase(allowed);
        }
        order.insert(order.begin(), head.begin(), head.end());
    }
    m_order = std::move(order);
}

int PictureOrder::current() const {
    return m_order[static_cast<size_t>(m_next)];
}

std::vector<int> PictureOrder::tail() const {
    if (m_mode != OrderMode::Shuffled)
        return {};
    const size_t length = std::min<size_t>(kOtherFaces, m_order.size());
    return std::vector<int>(m_order.end() - static_cast<std::ptrdiff_t>(length), m_order.end());
}

void PictureOrder::step() {
    if (!m_active)
        return;
    if (++m_next < m_count)
        return;
    m_next = 0;
    if (m_mode == OrderMode::Shuffled) {
        m_previousTail = tail();
        ++m_pass;
        makePassOrder(m_previousTail);
    }
}

std::string PictureOrder::positionText(std::uint32_t pass, int next, const std::vector<int>& previousTail) const {
    return std::string(modeWord(m_mode)) + " " + std::to_string(m_count) + " " + m_stamp + " " +
           std::to_string(m_seed) + " " + std::to_string(pass) + " " + std::to_string(next) + " " +
           tailText(previousTail);
}

std::string PictureOrder::positionAfterCurrent() const {
    if (!m_active)
        return std::string();
    if (m_next + 1 < m_count)
        return positionText(m_pass, m_next + 1, m_previousTail);
    if (m_mode == OrderMode::Shuffled)
        return positionText(m_pass + 1, 0, tail());
    return positionText(0, 0, {});
}

} // namespace loader
