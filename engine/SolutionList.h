#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "PlateSet.h"
#include "Step.h"

namespace quorbelix {

class SolutionGraph;

// Ordered solution texts of one or more searches, duplicates kept. The texts are
// rendered on demand from a shared graph of the search, so the list stays small
// however many entries it holds, and copying it is cheap.
class SolutionList {
public:
    std::size_t size() const noexcept;
    bool empty() const noexcept { return size() == 0; }

    // Steps "a op b = c" without blanks, each ended by '\r'.
    // Throws std::out_of_range when index >= size().
    std::string text(std::size_t index) const;

    // Calls visit with each text in order, until visit returns false; false then. Much
    // faster than text() for each index when every entry is wanted. Each step is ended by
    // stepEnd instead of '\r'.
    bool forEachText(const std::function<bool(std::string_view)>& visit, char stepEnd = '\r') const;

    // Calls visit with each entry's steps in order, until visit returns false; false then.
    bool forEachChain(const std::function<bool(std::span<const Step>)>& visit) const;

    void clear() noexcept;

private:
    friend void Search(const PlateSet& plates, Target target, SolutionList& solutions);

    void append(std::shared_ptr<const SolutionGraph> graph);

    std::vector<std::shared_ptr<const SolutionGraph>> graphs_;
    std::vector<std::size_t> ends_;  // cumulative entry counts, one per graph
};

}  // namespace quorbelix
