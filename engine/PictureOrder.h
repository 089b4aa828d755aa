// The order in which the loader takes the pictures of the list: from the first, continued where the last
// show stopped, or shuffled so every picture comes once before any comes again. Free of threads and
// files: the loader reads and stores the position text, this decides what it means.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace loader {

enum class OrderMode { FromFirst = 0, Continue = 1, Shuffled = 2 };

// [Settings] PictureOrder as stored; anything else is FromFirst.
OrderMode orderModeOf(int value);

class PictureOrder {
public:
    // Not ordered: the schedule takes the entries from Entry0 as it always has.
    PictureOrder() = default;
    // count, stamp: [Photos] Count and Stamp, the list's length and the mark of the rebuild that wrote it.
    // stored: the position text of the last show; a damaged one, or one of another list, length or mode,
    // starts afresh. freshSeed: the seed of a new shuffle.
    PictureOrder(OrderMode mode, int count, std::string stamp, const std::string& stored, std::uint32_t freshSeed);

    // Only lists longer than six have an order: shorter ones keep the short-list rules of the first six loads.
    bool active() const { return m_active; }
    // The list index of the picture at the cursor.
    int current() const;
    // On to the next picture; after the last of a pass, the first of the next one (a new shuffle).
    void step();
    // What to store once the picture at the cursor is on a face: the next show starts after it.
    std::string positionAfterCurrent() const;

    // The pass order for tests: a permutation of 0 ... count - 1.
    const std::vector<int>& passOrder() const { return m_order; }

private:
    void makePassOrder(const std::vector<int>& previousTail);
    std::vector<int> tail() const;
    std::string positionText(std::uint32_t pass, int next, const std::vector<int>& previousTail) const;

    bool m_active = false;
    OrderMode m_mode = OrderMode::FromFirst;
    int m_count = 0;
    std::string m_stamp;
    std::uint32_t m_seed = 0;
    std::uint32_t m_pass = 0;
    int m_next = 0;                  // cursor within the pass
    std::vector<int> m_order;        // this pass: position -> list index
    std::vector<int> m_previousTail; // the last pictures of the pass before, kept off the first faces
};

} // namespace loader
