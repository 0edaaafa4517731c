#include "SolutionList.h"

#include <algorithm>
#include <stdexcept>

#include "SolutionGraph.h"

namespace quorbelix {

std::size_t SolutionList::size() const noexcept {
    return ends_.empty() ? 0 : ends_.back();
}

std::string SolutionList::text(std::size_t index) const {
    if (index >= size()) {
        throw std::out_of_range("Indice de liste hors limites (" + std::to_string(index) + ")");
    }
    const auto part = std::upper_bound(ends_.begin(), ends_.end(), index);
    const std::size_t offset = part == ends_.begin() ? 0 : *(part - 1);
    return graphs_[static_cast<std::size_t>(part - ends_.begin())]->text(index - offset);
}

bool SolutionList::forEachText(const std::function<bool(std::string_view)>& visit,
                               char stepEnd) const {
    return std::all_of(graphs_.begin(), graphs_.end(),
                       [&](const auto& graph) { return graph->forEachText(visit, stepEnd); });
}

bool SolutionList::forEachChain(const std::function<bool(std::span<const Step>)>& visit) const {
    return std::all_of(graphs_.begin(), graphs_.end(),
                       [&](const auto& graph) { return graph->forEachChain(visit); });
}

void SolutionList::clear() noexcept {
    graphs_.clear();
    ends_.clear();
}

void SolutionList::append(std::shared_ptr<const SolutionGraph> graph) {
    ends_.push_back(size() + graph->size());
    graphs_.push_back(std::move(graph));
}

}  // namespace quorbelix
