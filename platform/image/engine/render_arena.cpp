// Scratch memory blocks for render threads.
#include "platform/image/engine/render_arena.h"

#include <algorithm>

namespace {
constexpr std::size_t kAlign = 64;
constexpr std::size_t kMinBlock = 1 << 20;
std::size_t roundUp(std::size_t n) {
    return (n + kAlign - 1) & ~(kAlign - 1);
}
}  // namespace

void RenderArena::addBlock(std::size_t minimum) {
    std::size_t size = std::max({minimum, kMinBlock, blocks_.empty() ? 0 : blocks_.back().size * 2});
    Block block;
    block.memory.reset(new std::uint8_t[size + kAlign]);
    auto address = reinterpret_cast<std::uintptr_t>(block.memory.get());
    block.base = block.memory.get() + (roundUp(address) - address);
    block.size = size;
    blocks_.push_back(std::move(block));
    ++systemAllocations_;
}

void* RenderArena::bytes(std::size_t size) {
    size = roundUp(std::max<std::size_t>(size, 1));
    while (true) {
        if (current_ < blocks_.size() && offset_ + size <= blocks_[current_].size) {
            void* p = blocks_[current_].base + offset_;
            offset_ += size;
            return p;
        }
        // Move on to the next block that is large enough, or add one.
        if (current_ + 1 < blocks_.size()) {
            ++current_;
            offset_ = 0;
            continue;
        }
        addBlock(size);
        current_ = blocks_.size() - 1;
        offset_ = 0;
    }
}

void RenderArena::reset() {
    if (blocks_.size() > 1) {
        std::size_t total = capacity();
        blocks_.clear();
        addBlock(total);
    }
    current_ = 0;
    offset_ = 0;
}

std::size_t RenderArena::capacity() const {
    std::size_t total = 0;
    for (const auto& b : blocks_) total += b.size;
    return total;
}
