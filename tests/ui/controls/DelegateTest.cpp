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

namespace {

// A handler that takes itself, or another handler, off the list it is
// being called from.
struct Leaver {
    CHandlerList* list;
    std::string* log;
    char mark;
    Leaver* other = nullptr;
    bool Handle(void*)
    {
        *log += mark;
        Leaver* target = other ? other : this;
        *list -= MakeDelegate(target, &Leaver::Handle);
        return true;
    }
};

}  // namespace

TEST(HandlerList, AHandlerRemovingItselfLetsTheNextOneStillBeCalled)
{
    CHandlerList list;
    std::string log;
    Leaver a{&list, &log, 'a'};
    Recorder b{&log, 'b', true}, c{&log, 'c', true};
    list += MakeDelegate(&a, &Leaver::Handle);
    list += MakeDelegate(&b, &Recorder::Handle);
    list += MakeDelegate(&c, &Recorder::Handle);
    int calls = 0;
    EXPECT_TRUE(list.Invoke(&calls));
    EXPECT_EQ("abc", log);
    EXPECT_EQ(2u, list.Size());
    log.clear();
    EXPECT_TRUE(list.Invoke(&calls));
    EXPECT_EQ("bc", log);

    // Removing a later handler keeps it from this very call; adding back
    // the removed one afterwards works once.
    CHandlerList second;
    Leaver d{&second, &log, 'd'};
    Recorder e{&log, 'e', true};
    Leaver f{&second, &log, 'f'};
    d.other = &f;
    second += MakeDelegate(&d, &Leaver::Handle);
    second += MakeDelegate(&e, &Recorder::Handle);
    second += MakeDelegate(&f, &Leaver::Handle);
    log.clear();
    second.Invoke(&calls);
    EXPECT_EQ("de", log);
    second += MakeDelegate(&f, &Leaver::Handle);
    second += MakeDelegate(&f, &Leaver::Handle);
    EXPECT_EQ(3u, second.Size());
}
