#pragma once
// One move-only owner for every kind of Windows handle. Both null and
// INVALID_HANDLE_VALUE count as "no handle", and releasing keeps GetLastError()
// so that a failure can still be read after the owner has gone.
#include <windows.h>
#include <wininet.h>
#include <wincrypt.h>
#include <utility>

namespace framework {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  [[nodiscard]] bool valid() const { return Traits::IsValid(handle_); }
  explicit operator bool() const { return valid(); }
  [[nodiscard]] Handle get() const { return handle_; }

  // For APIs that fill a handle through an out-parameter.
  Handle* receive() {
    reset();
    return &handle_;
  }

  [[nodiscard]] Handle release() {
    Handle handle = handle_;
    handle_ = Traits::Null();
    return handle;
  }

  void reset(Handle handle = Traits::Null()) {
    if (Traits::IsValid(handle_)) {
      const DWORD error = GetLastError();
      Traits::Close(handle_);
      SetLastError(error);
    }
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Null();
};

template <typename H, typename Closer, Closer close>
struct SimpleTraits {
  using Handle = H;
  static Handle Null() { return Handle(); }
  static bool IsValid(Handle h) {
    return h != Handle() && reinterpret_cast<HANDLE>(h) != INVALID_HANDLE_VALUE;
  }
  static void Close(Handle h) { close(h); }
};

struct KernelHandleTraits : SimpleTraits<HANDLE, decltype(&CloseHandle), &CloseHandle> {};
struct FindHandleTraits : SimpleTraits<HANDLE, decltype(&FindClose), &FindClose> {};
struct RegistryKeyTraits : SimpleTraits<HKEY, decltype(&RegCloseKey), &RegCloseKey> {};
struct InternetHandleTraits
    : SimpleTraits<HINTERNET, decltype(&InternetCloseHandle), &InternetCloseHandle> {};
struct IconTraits : SimpleTraits<HICON, decltype(&DestroyIcon), &DestroyIcon> {};
struct GlobalMemoryTraits : SimpleTraits<HGLOBAL, decltype(&GlobalFree), &GlobalFree> {};
struct ModuleTraits : SimpleTraits<HMODULE, decltype(&FreeLibrary), &FreeLibrary> {};

struct CryptProviderTraits {
  using Handle = HCRYPTPROV;
  static Handle Null() { return 0; }
  static bool IsValid(Handle h) { return h != 0; }
  static void Close(Handle h) { CryptReleaseContext(h, 0); }
};
struct CryptHashTraits {
  using Handle = HCRYPTHASH;
  static Handle Null() { return 0; }
  static bool IsValid(Handle h) { return h != 0; }
  static void Close(Handle h) { CryptDestroyHash(h); }
};

template <typename GdiObject>
struct GdiObjectTraits {
  using Handle = GdiObject;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegistryKey = UniqueHandle<RegistryKeyTraits>;
using InternetHandle = UniqueHandle<InternetHandleTraits>;
using IconHandle = UniqueHandle<IconTraits>;
using GlobalMemory = UniqueHandle<GlobalMemoryTraits>;
using ModuleHandle = UniqueHandle<ModuleTraits>;
using CryptProvider = UniqueHandle<CryptProviderTraits>;
using CryptHashHandle = UniqueHandle<CryptHashTraits>;
using FontHandle = UniqueHandle<GdiObjectTraits<HFONT>>;
using BrushHandle = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using PenHandle = UniqueHandle<GdiObjectTraits<HPEN>>;
using BitmapHandle = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using RegionHandle = UniqueHandle<GdiObjectTraits<HRGN>>;

// A COM interface pointer that releases itself.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      ptr_ = std::exchange(other.ptr_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  Interface* get() const { return ptr_; }
  Interface* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  void** receive() {
    reset();
    return reinterpret_cast<void**>(&ptr_);
  }
  void reset() {
    if (ptr_) std::exchange(ptr_, nullptr)->Release();
  }

 private:
  Interface* ptr_ = nullptr;
};

}  // namespace framework
