#include "com/class_factory.h"

#include "com/server_module.h"

namespace svctune::com {

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (outer != nullptr) {
    return CLASS_E_NOAGGREGATION;
  }
  return create_(iid, object);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    ServerModule::Lock();
  } else {
    ServerModule::Unlock();
  }
  return S_OK;
}

}  // namespace svctune::com
