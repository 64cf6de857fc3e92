#include "engine/platform/Ref.h"

#include <gtest/gtest.h>

#include "engine/platform/RefCounted.h"

namespace {

// Counts its own deletion so a test sees the last release.
class Counted : public RefCounted {
public:
    explicit Counted(int& deleted) : m_deleted(deleted) {}
    ~Counted() override { ++m_deleted; }

private:
    int& m_deleted;
};

} // namespace

TEST(Ref, CopiesShareMovesHandOnAndTheLastHolderDeletes) {
    int deleted = 0;
    Counted* object = new Counted(deleted);
    {
        Ref<Counted> first = Ref<Counted>::adopt(object);
        EXPECT_EQ(object->getRefCount(), 1);
        Ref<Counted> copy = first;
        Ref<Counted> shared = Ref<Counted>::share(object);
        EXPECT_EQ(object->getRefCount(), 3);
        Ref<Counted> moved = std::move(copy);
        EXPECT_EQ(copy.get(), nullptr);
        EXPECT_EQ(object->getRefCount(), 3);
        shared = first;
        EXPECT_EQ(object->getRefCount(), 3);
        first.reset();
        moved = nullptr;
        EXPECT_EQ(object->getRefCount(), 1);
        EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 1);

    Ref<Counted> held = Ref<Counted>::adopt(new Counted(deleted));
    Counted* taken = held.detach();
    EXPECT_EQ(held.get(), nullptr);
    EXPECT_EQ(taken->getRefCount(), 1);
    // A creator writing through out() replaces what was held, releasing it.
    Counted** slot = held.out();
    *slot = taken;
    held.out();
    EXPECT_EQ(deleted, 2);
}
