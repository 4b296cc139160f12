// Delegates: a control's event and notify sources call the handlers bound to them,
// each a member function of some object taking the event or notification as void*.
#pragma once
#include <functional>
#include <memory>
#include <vector>

// One handler. Handlers return true to let the remaining handlers and the library's
// own handling go on, false to consume the event.
class CDelegateBase {
public:
    virtual ~CDelegateBase() = default;
    bool operator()(void* param) { return Invoke(param); }
    virtual CDelegateBase* Copy() const = 0;
    virtual bool Equals(const CDelegateBase& other) const = 0;
    virtual bool Invoke(void* param) = 0;
};

// Plain function: bool Fn(void*).
class CDelegateStatic : public CDelegateBase {
public:
    using Fn = bool (*)(void*);
    explicit CDelegateStatic(Fn fn) : fn_(fn) {}
    CDelegateBase* Copy() const override { return new CDelegateStatic(*this); }
    bool Equals(const CDelegateBase& other) const override {
        auto* o = dynamic_cast<const CDelegateStatic*>(&other);
        return o && o->fn_ == fn_;
    }
    bool Invoke(void* param) override { return fn_(param); }

private:
    Fn fn_;
};

// Member function of an object: bool (T::*)(void*), bound to an O* (O derives from T).
template <class O, class T>
class CDelegate : public CDelegateBase {
public:
    using Fn = bool (T::*)(void*);
    CDelegate(O* object, Fn fn) : object_(object), fn_(fn) {}
    CDelegateBase* Copy() const override { return new CDelegate(*this); }
    bool Equals(const CDelegateBase& other) const override {
        auto* o = dynamic_cast<const CDelegate*>(&other);
        return o && o->object_ == object_ && o->fn_ == fn_;
    }
    bool Invoke(void* param) override { return (object_->*fn_)(param); }

private:
    O* object_;
    Fn fn_;
};

// Any callable bool(void*); never equal to another, so it can only be removed by Clear.
class CDelegateFunction : public CDelegateBase {
public:
    explicit CDelegateFunction(std::function<bool(void*)> fn) : fn_(std::move(fn)) {}
    CDelegateBase* Copy() const override { return new CDelegateFunction(*this); }
    bool Equals(const CDelegateBase& other) const override { return &other == this; }
    bool Invoke(void* param) override { return fn_ ? fn_(param) : true; }

private:
    std::function<bool(void*)> fn_;
};

template <class O, class T>
CDelegate<O, T> MakeDelegate(O* object, bool (T::*fn)(void*)) {
    return CDelegate<O, T>(object, fn);
}

inline CDelegateStatic MakeDelegate(bool (*fn)(void*)) { return CDelegateStatic(fn); }

// The list of handlers of one source. Calling it runs them in the order added and
// stops at the first that returns false; the result says whether all returned true.
class CEventSource {
public:
    CEventSource() = default;
    CEventSource(const CEventSource&) = delete;
    CEventSource& operator=(const CEventSource&) = delete;

    explicit operator bool() const { return !delegates_.empty(); }
    void operator+=(const CDelegateBase& d) { delegates_.emplace_back(d.Copy()); }
    void operator+=(bool (*fn)(void*)) { *this += CDelegateStatic(fn); }
    // Any callable, lambdas included.
    void Add(std::function<bool(void*)> fn) { *this += CDelegateFunction(std::move(fn)); }
    void operator-=(const CDelegateBase& d);
    void operator-=(bool (*fn)(void*)) { *this -= CDelegateStatic(fn); }
    void Clear() { delegates_.clear(); }
    bool operator()(void* param);

private:
    std::vector<std::shared_ptr<CDelegateBase>> delegates_;
};
