#pragma once

#include <functional>

namespace tvx::platform {

class TComponent;

// An event of the form (Sender): a handler bound to its object. It counts as assigned when it
// holds a handler.
using TNotifyEvent = std::function<void(TComponent* Sender)>;

// Binds a member function to its object: Closure(form, &TForm1::PcUart1TxdEmpty).
template <typename Object, typename Result, typename... Args>
std::function<Result(Args...)> Closure(Object* object, Result (Object::*method)(Args...)) {
  return [object, method](Args... args) { return (object->*method)(args...); };
}

}  // namespace tvx::platform
