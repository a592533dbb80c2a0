#include "core/catalogue/history.h"

#include <algorithm>

namespace velmora::catalogue {

namespace {

template <typename T>
std::size_t vectorBytes(const std::vector<T>& items)
{
    return items.capacity() * sizeof(T);
}

std::size_t linesBytes(const std::vector<std::string>& lines)
{
    std::size_t bytes = vectorBytes(lines);
    for (const std::string& line : lines) {
        // Short lines live inside the string itself.
        if (line.capacity() > 15) {
            bytes += line.capacity() + 1;
        }
    }
    return bytes;
}

std::size_t changeBytes(const StepChange& change)
{
    return std::visit(
        [](const auto& c) -> std::size_t {
            using Change = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<Change, CellsChange>) {
                return vectorBytes(c.albums) + linesBytes(c.lines);
            } else if constexpr (std::is_same_v<Change, CellEditsChange>) {
                return vectorBytes(c.albums) + vectorBytes(c.columns) + linesBytes(c.texts);
            } else if constexpr (std::is_same_v<Change, RowsChange>) {
                return vectorBytes(c.albums) + linesBytes(c.lines) + vectorBytes(c.listRows) +
                       vectorBytes(c.listEntries);
            } else if constexpr (std::is_same_v<Change, RenumberChange>) {
                return vectorBytes(c.order) + vectorBytes(c.entries);
            } else {
                return vectorBytes(c.order);
            }
        },
        change);
}

}  // namespace

std::size_t HistoryStep::storedBytes() const
{
    std::size_t bytes = sizeof(HistoryStep) + name.capacity() + vectorBytes(changes) +
                        vectorBytes(before.marks) + vectorBytes(after.marks) + vectorBytes(selectionBefore);
    for (const StepChange& change : changes) {
        bytes += changeBytes(change);
    }
    return bytes;
}

void History::add(std::deque<HistoryStep>& stack, HistoryStep step)
{
    step.countedBytes = step.storedBytes();
    bytes_ += step.countedBytes;
    stack.push_back(std::move(step));
    trim();
}

HistoryStep History::take(std::deque<HistoryStep>& stack)
{
    HistoryStep step = std::move(stack.back());
    stack.pop_back();
    bytes_ -= std::min(bytes_, step.countedBytes);
    return step;
}

void History::push(HistoryStep step)
{
    for (const HistoryStep& dropped : redo_) {
        bytes_ -= std::min(bytes_, dropped.countedBytes);
    }
    redo_.clear();
    add(undo_, std::move(step));
}

HistoryStep History::takeUndo()
{
    return take(undo_);
}

void History::pushUndone(HistoryStep step)
{
    add(redo_, std::move(step));
}

HistoryStep History::takeRedo()
{
    return take(redo_);
}

void History::pushRedone(HistoryStep step)
{
    add(undo_, std::move(step));
}

void History::clear()
{
    undo_.clear();
    redo_.clear();
    bytes_ = 0;
}

void History::setLimits(std::size_t maxSteps, std::size_t maxBytes)
{
    maxSteps_ = std::max<std::size_t>(maxSteps, 1);
    maxBytes_ = maxBytes;
    trim();
}

void History::trim()
{
    // The oldest steps go first: the far end of the undo stack, then the
    // step furthest from being redone.
    while (!undo_.empty() || !redo_.empty()) {
        if (undo_.size() + redo_.size() <= maxSteps_ && bytes_ <= maxBytes_) {
            break;
        }
        std::deque<HistoryStep>& stack = undo_.empty() ? redo_ : undo_;
        bytes_ -= std::min(bytes_, stack.front().countedBytes);
        stack.pop_front();
    }
}

std::string groupedCount(long long count)
{
    std::string digits = std::to_string(count < 0 ? -count : count);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return count < 0 ? "-" + grouped : grouped;
}

}  // namespace velmora::catalogue
