#include <gtest/gtest.h>

#include <string>

#include "ui/core/Delegate.h"

namespace {

struct Recorder {
    std::string* log;
    char mark;
    bool answer;
    bool Handle(void* param)
    {
        *log += mark;
        *static_cast<int*>(param) += 1;
        return answer;
    }
    bool Other(void*)
    {
        *log += 'o';
        return true;
    }
};

bool FreeHandler(void* param)
{
    *static_cast<int*>(param) += 100;
    return true;
}

}  // namespace

TEST(HandlerList, CallsInOrderAndStopsAtTheFirstVeto)
{
    std::string log;
    Recorder a{&log, 'a', true}, b{&log, 'b', false}, c{&log, 'c', true};
    CHandlerList list;
    list += MakeDelegate(&a, &Recorder::Handle);
    list += MakeDelegate(&b, &Recorder::Handle);
    list += MakeDelegate(&c, &Recorder::Handle);
    int calls = 0;
    EXPECT_FALSE(list.Invoke(&calls));
    EXPECT_EQ("ab", log);
    EXPECT_EQ(2, calls);

    list -= MakeDelegate(&b, &Recorder::Handle);
    log.clear();
    EXPECT_TRUE(list.Invoke(&calls));
    EXPECT_EQ("ac", log);
}

TEST(HandlerList, EqualDelegatesAreAddedOnce)
{
    std::string log;
    Recorder a{&log, 'a', true}, b{&log, 'b', true};
    CHandlerList list;
    list += MakeDelegate(&a, &Recorder::Handle);
    list += MakeDelegate(&a, &Recorder::Handle);
    // Same object, other function; same function, other object: both distinct.
    list += MakeDelegate(&a, &Recorder::Other);
    list += MakeDelegate(&b, &Recorder::Handle);
    list += MakeDelegate(&FreeHandler);
    list += MakeDelegate(&FreeHandler);
    EXPECT_EQ(4u, list.Size());
    int value = 0;
    EXPECT_TRUE(list.Invoke(&value));
    EXPECT_EQ("aob", log);
    EXPECT_EQ(102, value);
}

TEST(HandlerList, EmptyListLetsTheEventContinue)
{
    CHandlerList list;
    EXPECT_TRUE(list.Empty());
    EXPECT_TRUE(list.Invoke(nullptr));
}
