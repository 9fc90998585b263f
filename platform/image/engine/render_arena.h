// RenderArena: scratch memory for one render thread, reused from tile to tile and frame to frame.
//
// Allocation is a pointer bump; release() returns to a mark. Once the largest tile of a workload
// has been rendered the arena holds enough memory and renders allocate nothing more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class RenderArena {
public:
    RenderArena() = default;
    RenderArena(const RenderArena&) = delete;
    RenderArena& operator=(const RenderArena&) = delete;

    struct Mark {
        std::size_t block = 0;
        std::size_t offset = 0;
    };

    // 64-byte aligned floats (contents undefined).
    float* floats(std::size_t count) { return static_cast<float*>(bytes(count * sizeof(float))); }
    void* bytes(std::size_t size);
    Mark mark() const { return {current_, offset_}; }
    void release(Mark m) {
        current_ = m.block;
        offset_ = m.offset;
    }
    // Back to empty; when the last round needed several blocks, they are merged into one.
    void reset();
    std::size_t capacity() const;
    // Number of times the arena asked the system for memory (for checks that warm renders allocate nothing).
    std::size_t systemAllocations() const { return systemAllocations_; }

private:
    struct Block {
        std::unique_ptr<std::uint8_t[]> memory;
        std::size_t size = 0;
        std::uint8_t* base = nullptr;  // aligned start
    };
    void addBlock(std::size_t minimum);

    std::vector<Block> blocks_;
    std::size_t current_ = 0;
    std::size_t offset_ = 0;
    std::size_t systemAllocations_ = 0;
};

// Releases everything allocated after its construction when it goes out of scope.
class ArenaScope {
public:
    explicit ArenaScope(RenderArena& arena) : arena_(arena), mark_(arena.mark()) {}
    ~ArenaScope() { arena_.release(mark_); }
    ArenaScope(const ArenaScope&) = delete;
    ArenaScope& operator=(const ArenaScope&) = delete;

private:
    RenderArena& arena_;
    RenderArena::Mark mark_;
};
