// Replaces the global operator new to record the largest request, which is
// why this test is a program of its own: no other test runs under the probe.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/DesignFile.h"
#include "model/DesignModel.h"

namespace {

std::size_t g_largestAllocation = 0;

}  // namespace

// Kept out of line so that the compiler pairs every delete with this new
// rather than with the library's.
__attribute__((noinline)) void* operator new(std::size_t size)
{
    g_largestAllocation = std::max(g_largestAllocation, size);
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

__attribute__((noinline)) void operator delete(void* memory) noexcept
{
    std::free(memory);
}

__attribute__((noinline)) void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

TEST(DesignFileAllocation, HugeDeclaredLengthInATinyFileAllocatesNothing)
{
    // Document version 1, then a wide string that claims 0x7FFFFFFE code units
    // (almost 4 GiB) and brings two bytes.
    const std::vector<uint8_t> bytes = {0x01, 0x00, 0x00, 0x00, 0xFF, 0xFE, 0xFF, 0xFF,
                                        0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F, 0x41, 0x00};
    CDesignModel model;
    std::u16string description;

    g_largestAllocation = 0;
    const FileResult result = LoadDesign(bytes.data(), bytes.size(), model, description);
    const std::size_t largest = g_largestAllocation;

    EXPECT_EQ(result, FileResult::UnexpectedFormat);
    EXPECT_LT(largest, std::size_t{64} * 1024);
}

}  // namespace
