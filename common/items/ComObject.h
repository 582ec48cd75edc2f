#pragma once
// The reference counting and interface lookup behind every model object.
//
//   class TThing : public ComObject<IThing, IOtherThing> { ... };
//   ComPtr<IThing> thing = MakeComObject<TThing>(arguments);
//
// The count is a plain integer: the model lives on one thread. An object
// starts with no reference; `MakeComObject` (or the first ComPtr that takes
// it) gives it its first one, and the last Release destroys it. A
// constructor therefore must not hand `this` to anything that might take and
// drop a reference before the object has its first owner.
//
// QueryInterface answers IUnknown, each listed interface, and the interfaces
// that each of them extends. An interface that extends another model
// interface says so with `using ComBase = TheBase;` in its declaration (the
// platform's interfaces that extend IDispatch are recognised without it).
// Every answer for one interface is the same pointer, and every IUnknown
// answer is the first listed interface's, so identity tests by pointer hold.

#include <unknwn.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <tuple>
#include <type_traits>
#include <utility>

namespace com_object_detail {

template <class I>
concept ExtendsModelInterface = requires { typename I::ComBase; };

// The pointer for `riid` when I or one of the interfaces it extends is
// the one asked for; null otherwise.
template <class I>
void* FindInterface(I* self, REFIID riid) noexcept {
  if (riid == __uuidof(I)) return self;
  if constexpr (ExtendsModelInterface<I>) {
    using Base = typename I::ComBase;
    static_assert(std::is_base_of_v<Base, I>, "ComBase must be a base of the interface");
    if constexpr (!std::is_same_v<Base, IUnknown>) {
      return FindInterface<Base>(static_cast<Base*>(self), riid);
    }
  } else if constexpr (std::is_base_of_v<IDispatch, I> && !std::is_same_v<I, IDispatch>) {
    if (riid == __uuidof(IDispatch)) return static_cast<IDispatch*>(self);
  }
  return nullptr;
}

}  // namespace com_object_detail

template <class... Interfaces>
class ComObject : public Interfaces... {
  static_assert(sizeof...(Interfaces) > 0, "a model object implements at least one interface");
  static_assert((std::is_base_of_v<IUnknown, Interfaces> && ...),
                "only interfaces derived from IUnknown can be listed");

 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override {
    if (object == nullptr) return E_POINTER;
    *object = Find(riid);
    if (*object == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++references_; }

  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;

 private:
  using FirstInterface = std::tuple_element_t<0, std::tuple<Interfaces...>>;

  void* Find(REFIID riid) noexcept {
    if (riid == __uuidof(IUnknown)) {
      return static_cast<IUnknown*>(static_cast<FirstInterface*>(this));
    }
    void* found = nullptr;
    // The first listed interface that answers wins.
    ((found = found != nullptr
                  ? found
                  : com_object_detail::FindInterface<Interfaces>(static_cast<Interfaces*>(this), riid)),
     ...);
    return found;
  }

  ULONG references_ = 0;
};

// Creates a model object and returns its first reference.
template <class T, class... Args>
Microsoft::WRL::ComPtr<T> MakeComObject(Args&&... args) {
  return Microsoft::WRL::ComPtr<T>(new T(std::forward<Args>(args)...));
}
