#pragma once
// The handler guard: every entry from Qt into program code (slots, lambdas, event
// overrides, event filters, timers, delegates) runs inside Guard, so that no exception
// crosses a Qt frame. An exception is shown in an error box, as the framework's
// Application.HandleException did, and the program goes on.
//
//  - The box text is the exception's Message (Exception), what() (std::exception) or a fixed
//    text for anything else; a text whose last character is above '.' gets a full stop.
//  - TGuardMode::Queue is for paint, timer and mouse-move handlers: the box is not shown
//    there but from a queued call after the handler has returned. A message already queued
//    or shown in the same batch is not repeated; the batch ends once its boxes have been
//    shown and the events they caused (repaints) have run. A Guard inside a queuing guard
//    queues too.
//  - The box goes through the interaction service (Interaction.h), so tests read it.
//
// Bind(sender, signal, receiver, handler) connects a signal to a handler through the guard;
// the handler may take fewer arguments than the signal gives (the leading ones).
#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

enum class TGuardMode { Show, Queue };

// Shows the error box for e (an exception caught by a handler); never throws.
void HandleException(std::exception_ptr e, TGuardMode mode = TGuardMode::Show) noexcept;
// The text the error box shows for e.
QString ExceptionMessage(std::exception_ptr e);
// Shows message in the error box as HandleException does (a full stop added as there).
void ShowException(const QString& message, TGuardMode mode = TGuardMode::Show) noexcept;

namespace guard_detail {

// Counts the queuing guards that enclose the current code.
class ModeScope {
public:
    explicit ModeScope(TGuardMode mode);
    ~ModeScope();
    ModeScope(const ModeScope&) = delete;
    ModeScope& operator=(const ModeScope&) = delete;
    static TGuardMode Current();

private:
    bool m_queue;
};

template <class F, class Tuple, std::size_t... I>
void ApplyPrefix(F& f, Tuple& t, std::index_sequence<I...>)
{
    std::invoke(f, std::get<I>(t)...);
}

template <class F, class Tuple, std::size_t... I>
constexpr bool InvocableWith(std::index_sequence<I...>)
{
    return std::is_invocable_v<F&, std::tuple_element_t<I, Tuple>...>;
}

// Calls f with the longest leading part of the arguments in t that f accepts.
template <class F, class Tuple, std::size_t N = std::tuple_size_v<Tuple>>
void InvokeLeading(F& f, Tuple& t)
{
    if constexpr (InvocableWith<F, Tuple>(std::make_index_sequence<N>{})) {
        ApplyPrefix(f, t, std::make_index_sequence<N>{});
    } else if constexpr (N == 0) {
        static_assert(N != 0, "the handler cannot be called with the signal's arguments");
    } else {
        InvokeLeading<F, Tuple, N - 1>(f, t);
    }
}

template <class T>
struct MemberClass;
template <class R, class C, class... A>
struct MemberClass<R (C::*)(A...)> { using type = C; };
template <class R, class C, class... A>
struct MemberClass<R (C::*)(A...) const> { using type = C; };
template <class R, class C, class... A>
struct MemberClass<R (C::*)(A...) noexcept> { using type = C; };
template <class R, class C, class... A>
struct MemberClass<R (C::*)(A...) const noexcept> { using type = C; };

} // namespace guard_detail

// Runs f inside the guard.
template <class F>
void Guard(F&& f, TGuardMode mode = TGuardMode::Show) noexcept
{
    guard_detail::ModeScope scope(mode);
    try {
        std::forward<F>(f)();
    } catch (...) {
        HandleException(std::current_exception(), guard_detail::ModeScope::Current());
    }
}

// A callable that runs f inside the guard with the leading arguments it accepts.
template <class F>
auto Guarded(F f, TGuardMode mode = TGuardMode::Show)
{
    return [f = std::move(f), mode](auto&&... args) mutable {
        auto t = std::forward_as_tuple(args...);
        Guard([&] { guard_detail::InvokeLeading(f, t); }, mode);
    };
}

// Connects signal of sender to handler (a callable, or a member function of receiver) through
// the guard; the connection ends with receiver.
template <class Sender, class Signal, class Receiver, class Handler>
QMetaObject::Connection Bind(Sender* sender, Signal signal, Receiver* receiver, Handler handler,
                             TGuardMode mode = TGuardMode::Show)
{
    if constexpr (std::is_member_function_pointer_v<Handler>) {
        using C = typename guard_detail::MemberClass<Handler>::type;
        C* target = static_cast<C*>(receiver);
        auto call = [target, handler](auto&&... a)
            -> decltype(std::invoke(handler, target, std::forward<decltype(a)>(a)...)) {
            return std::invoke(handler, target, std::forward<decltype(a)>(a)...);
        };
        return QObject::connect(sender, signal, receiver, Guarded(std::move(call), mode));
    } else {
        return QObject::connect(sender, signal, receiver, Guarded(std::move(handler), mode));
    }
}
