#pragma once

#include <cstring>
#include <memory>
#include <vector>

// A callable target for the handler lists of controls: an object and one of
// its member functions, both kept opaque so that delegates of unrelated
// classes compare and live in one list. Invoke returns true to let the
// event continue.
class CDelegateBase {
public:
    virtual ~CDelegateBase() = default;
    virtual CDelegateBase* Copy() const = 0;
    virtual bool Invoke(void* param) = 0;

    bool Equals(const CDelegateBase& other) const
    {
        return m_object == other.m_object && m_functionSize == other.m_functionSize &&
               std::memcmp(m_function, other.m_function, m_functionSize) == 0;
    }

protected:
    CDelegateBase(const void* object, const void* function, size_t functionSize)
        : m_object(object), m_functionSize(functionSize)
    {
        std::memcpy(m_function, function, functionSize);
    }

    // Member function pointers are wider than data pointers on every ABI we
    // build for (two pointers under GCC, up to four words under MSVC's
    // virtual inheritance), so the function is kept as its bytes; the
    // derived constructors check at compile time that it fits.
    static constexpr size_t kFunctionCapacity = 2 * sizeof(void*) + 2 * sizeof(int);

    const void* m_object;
    unsigned char m_function[kFunctionCapacity] = {};
    size_t m_functionSize;
};

// Calls a member function bool (Owner::*)(void*) on an object of class Object.
template <class Object, class Owner>
class CDelegate : public CDelegateBase {
public:
    using Function = bool (Owner::*)(void*);
    static_assert(sizeof(Function) <= kFunctionCapacity, "room for member pointers");

    CDelegate(Object* object, Function function)
        : CDelegateBase(object, &function, sizeof function), m_target(object), m_call(function)
    {
    }
    CDelegateBase* Copy() const override { return new CDelegate(*this); }
    bool Invoke(void* param) override { return (m_target->*m_call)(param); }

private:
    Object* m_target;
    Function m_call;
};

// Calls a free function bool (*)(void*).
class CDelegateStatic : public CDelegateBase {
public:
    using Function = bool (*)(void*);
    static_assert(sizeof(Function) <= kFunctionCapacity, "room for function pointers");

    explicit CDelegateStatic(Function function)
        : CDelegateBase(nullptr, &function, sizeof function), m_call(function)
    {
    }
    CDelegateBase* Copy() const override { return new CDelegateStatic(*this); }
    bool Invoke(void* param) override { return m_call(param); }

private:
    Function m_call;
};

template <class Object, class Owner>
CDelegate<Object, Owner> MakeDelegate(Object* object, bool (Owner::*function)(void*))
{
    return CDelegate<Object, Owner>(object, function);
}

inline CDelegateStatic MakeDelegate(bool (*function)(void*)) { return CDelegateStatic(function); }

// An ordered list of owned delegates. Adding one equal to a member does
// nothing; invoking stops with false at the first delegate that vetoes.
//
// Re-entrancy: a handler may add or remove handlers of this list, itself
// included, while the list is being invoked. A removal during an
// invocation only empties the slot (the delegate is kept alive until the
// outermost invocation ends, since it may be the one running), so the
// handlers after it keep their places and are still called; empty slots
// are swept when no invocation is left. Added handlers are called in the
// same invocation.
class CHandlerList {
public:
    CHandlerList() = default;
    CHandlerList(const CHandlerList&) = delete;
    CHandlerList& operator=(const CHandlerList&) = delete;

    void Add(const CDelegateBase& handler)
    {
        for (const auto& existing : m_handlers)
            if (existing && existing->Equals(handler)) return;
        m_handlers.emplace_back(handler.Copy());
    }
    void Remove(const CDelegateBase& handler)
    {
        for (auto it = m_handlers.begin(); it != m_handlers.end(); ++it) {
            if (!*it || !(*it)->Equals(handler)) continue;
            if (m_invoking > 0)
                m_retired.push_back(std::move(*it));
            else
                m_handlers.erase(it);
            return;
        }
    }
    CHandlerList& operator+=(const CDelegateBase& handler)
    {
        Add(handler);
        return *this;
    }
    CHandlerList& operator-=(const CDelegateBase& handler)
    {
        Remove(handler);
        return *this;
    }

    bool Invoke(void* param)
    {
        bool result = true;
        ++m_invoking;
        // By index: the vector may grow while a handler runs.
        for (size_t i = 0; i < m_handlers.size(); ++i) {
            if (m_handlers[i] && !m_handlers[i]->Invoke(param)) {
                result = false;
                break;
            }
        }
        if (--m_invoking == 0) Sweep();
        return result;
    }
    bool Empty() const { return Size() == 0; }
    size_t Size() const
    {
        size_t n = 0;
        for (const auto& handler : m_handlers) n += handler ? 1 : 0;
        return n;
    }

private:
    void Sweep()
    {
        m_retired.clear();
        for (auto it = m_handlers.begin(); it != m_handlers.end();)
            it = *it ? it + 1 : m_handlers.erase(it);
    }

    std::vector<std::unique_ptr<CDelegateBase>> m_handlers;
    // Removed during an invocation; freed when the last one ends.
    std::vector<std::unique_ptr<CDelegateBase>> m_retired;
    int m_invoking = 0;
};
