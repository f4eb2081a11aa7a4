#include "parasort/services/qt/system_pasteboard.h"

#include "parasort/services/memory_pasteboard.h"
#include "parasort/services/qt/clipboard_pasteboard.h"
#include "parasort/services/wayland/data_control_pasteboard.h"
#include "x11_helper_pasteboard.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <string>

namespace parasort {
namespace {

// Off unless asked for (QT_LOGGING_RULES="parasort.services.info=true").
Q_LOGGING_CATEGORY(servicesLog, "parasort.services", QtWarningMsg)

// The data-control pasteboard, served whenever its connection has events.
class EventLoopDataControlPasteboard final : public Pasteboard {
 public:
  explicit EventLoopDataControlPasteboard(std::unique_ptr<DataControlPasteboard> pasteboard)
      : pasteboard_(std::move(pasteboard)),
        notifier_(pasteboard_->eventDescriptor(), QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, [this] {
      pasteboard_->dispatchEvents();
      // A closed connection stays readable: stop watching it.
      if (!pasteboard_->connected()) notifier_.setEnabled(false);
    });
  }
  std::vector<std::string> types() const override { return pasteboard_->types(); }
  std::optional<std::u16string> stringForType(std::string_view type) const override {
    return pasteboard_->stringForType(type);
  }
  void declareTypes(std::span<const std::string> types) override { pasteboard_->declareTypes(types); }
  bool setString(std::u16string_view string, std::string_view type) override {
    return pasteboard_->setString(string, type);
  }

 private:
  std::unique_ptr<DataControlPasteboard> pasteboard_;
  QSocketNotifier notifier_;
};

WindowPlatform windowPlatform() {
  const QString name = QGuiApplication::platformName();
  if (name == QLatin1String("xcb")) return WindowPlatform::x11;
  if (name.startsWith(QLatin1String("wayland"))) return WindowPlatform::wayland;
  return WindowPlatform::other;
}

}  // namespace

ClipboardSession observeClipboardSession() {
  ClipboardSession session;
  session.window = windowPlatform();
  session.x11Display = !qEnvironmentVariableIsEmpty("DISPLAY");
  if (session.window != WindowPlatform::other && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    const DataControlGlobals globals = findDataControlGlobals();
    session.waylandCompositor = globals.reached;
    session.extDataControlVersion = globals.extVersion;
    session.wlrDataControlVersion = globals.wlrVersion;
  }
  return session;
}

std::unique_ptr<Pasteboard> makeSystemPasteboard(ClipboardRoute route) {
  qCInfo(servicesLog, "clipboard route: %s", std::string(clipboardRouteName(route)).c_str());
  switch (route) {
    case ClipboardRoute::extDataControl:
    case ClipboardRoute::wlrDataControl: {
      auto pasteboard = DataControlPasteboard::open(route == ClipboardRoute::extDataControl
                                                        ? DataControlPasteboard::Protocol::ext
                                                        : DataControlPasteboard::Protocol::wlr);
      if (pasteboard) return std::make_unique<EventLoopDataControlPasteboard>(std::move(pasteboard));
      qCWarning(servicesLog, "the compositor's data-control could not be opened");
      break;
    }
    case ClipboardRoute::x11Helper:
      return std::make_unique<X11HelperPasteboard>();
    case ClipboardRoute::windowClipboard:
      return std::make_unique<ClipboardPasteboard>(*QGuiApplication::clipboard());
    case ClipboardRoute::none:
      break;
  }
  if (windowPlatform() != WindowPlatform::wayland)
    return std::make_unique<ClipboardPasteboard>(*QGuiApplication::clipboard());
  return std::make_unique<MemoryPasteboard>();  // lists nothing: "Unsupported data type"
}

}  // namespace parasort
