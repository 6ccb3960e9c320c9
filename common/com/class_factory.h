#pragma once

#include <unknwn.h>

namespace svctune::com {

// Creates one object of a class and queries it for the interface asked for.
using ObjectCreator = HRESULT (*)(REFIID iid, void** object);

// The end of every ObjectCreator: hands out the interface asked for of a new object whose
// constructor left it one reference (the object goes again when the query fails); a null
// object, a failed allocation, gives E_OUTOFMEMORY.
template <typename Object>
HRESULT HandOutNew(Object* created, REFIID iid, void** object) {
  if (created == nullptr) {
    return E_OUTOFMEMORY;
  }
  const HRESULT result = created->QueryInterface(iid, object);
  created->Release();
  return result;
}

// The class object DllGetClassObject hands out. It is a static object: it counts as a server
// lock only through LockServer, never through its own references.
class ClassFactory final : public IClassFactory {
 public:
  explicit constexpr ClassFactory(ObjectCreator create) : create_(create) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ObjectCreator create_;
};

}  // namespace svctune::com
