#pragma once

#include <windows.h>
#include <ocidl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "com/variant.h"
#include "control_settings.h"
#include "ui/colour.h"
#include "ui/property_bag.h"
#include "win/event_sink.h"

namespace svctune::host {

class ControlSite;

// What the container tells its controls through their sites besides each one's name.
struct AmbientSettings {
  FontSpec font;
  OleColour backColour = kButtonFace;
};

// One control placed in a container: created, loaded, shown in place, and reachable by name.
class HostedControl {
 public:
  ~HostedControl();
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;

  const std::wstring& Name() const { return name_; }
  const std::wstring& ProgId() const { return progId_; }
  IDispatch* Dispatch() const { return dispatch_.get(); }
  IUnknown* Object() const { return object_.get(); }
  // The control's own window while it is active in place, or null.
  HWND Window() const;

  // Members by name (late bound). Errors come back as HRESULTs; error gets the description.
  HRESULT Get(const wchar_t* name, com::Variant& value, std::wstring* error = nullptr) const;
  HRESULT Put(const wchar_t* name, const VARIANT& value, std::wstring* error = nullptr);
  HRESULT PutRef(const wchar_t* name, IDispatch* value, std::wstring* error = nullptr);
  HRESULT Call(const wchar_t* name, std::vector<VARIANT> arguments = {},
               com::Variant* result = nullptr, std::wstring* error = nullptr);
  HRESULT PutText(const wchar_t* name, const std::wstring& text);
  HRESULT PutLong(const wchar_t* name, long value);
  std::optional<std::wstring> GetText(const wchar_t* name) const;
  std::optional<long> GetLong(const wchar_t* name) const;

  // Runs handler whenever the control raises the event of that name (or dispatch id); false
  // when the control has no such event.
  bool On(const wchar_t* eventName, EventHandler handler);
  void On(DISPID dispid, EventHandler handler);

  // Places the control at a rectangle of the host window (pixels).
  void Move(const RECT& rect);
  // The settings as the control writes them now (IPersistPropertyBag::Save).
  std::optional<PropertyBag> Save() const;
  // A property-changed notice has come from the control since it was loaded.
  bool Modified() const;

 private:
  friend class ControlContainer;
  HostedControl() = default;
  void TearDown();

  std::wstring name_;
  std::wstring progId_;
  com::ComPtr<IOleObject> object_;
  com::ComPtr<IDispatch> dispatch_;
  com::ComPtr<ControlSite> site_;
  com::ComPtr<EventSink> events_;
  com::ComPtr<IConnectionPoint> eventPoint_;
  DWORD eventCookie_ = 0;
  com::ComPtr<IConnectionPoint> notifyPoint_;
  DWORD notifyCookie_ = 0;
};

// svctune's control container: it creates ActiveX controls by ProgID inside a host window,
// gives each a site (client, in-place and control site, ambient properties, property-change
// notices), loads it from its stored settings and shows it in place. It owns the controls and
// destroys them with itself.
class ControlContainer {
 public:
  explicit ControlContainer(HWND host, AmbientSettings ambient = AmbientSettings{});
  ~ControlContainer();
  ControlContainer(const ControlContainer&) = delete;
  ControlContainer& operator=(const ControlContainer&) = delete;

  // Creates settings.progId named settings.name, loads it from settings.bag (a new control
  // when the bag is empty) and shows it at rect (pixels of the host window). On failure it
  // returns null, result gets the HRESULT and error a message for the user; a class that is
  // not registered gives MissingControlMessage(progId).
  HostedControl* Create(const ControlSettings& settings, const RECT& rect,
                        std::wstring* error = nullptr, HRESULT* result = nullptr);
  void Destroy(HostedControl* control);
  void DestroyAll();
  HWND Host() const { return host_; }
  const std::vector<std::unique_ptr<HostedControl>>& Controls() const { return controls_; }

 private:
  HWND host_;
  AmbientSettings ambient_;
  std::vector<std::unique_ptr<HostedControl>> controls_;
};

}  // namespace svctune::host
