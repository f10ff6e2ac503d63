#include "racks/ui/frm_rack.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QSet>
#include <system_error>

#include "racks/rack_file.h"
#include "racks/ui/paint_kit.h"
#include "racks/ui/picture_data.h"
#include "racks/ui/picture_image.h"
#include "racks/ui/scope_widget.h"
#include "racks/ui/switch_widgets.h"
#include "racks/ui/widget_factory.h"
#include "racks/ui/window_capture.h"

namespace korvane::racks {

namespace {

constexpr char kRackIsOpen[] = "Rack is open";

Qt::WindowFlags FlagsFor(const TWindowLook& look) {
    Qt::WindowFlags flags = Qt::Window;
    if (look.borderStyle == TBorderStyle::ToolWindow ||
        look.borderStyle == TBorderStyle::SizeToolWindow) {
        flags = Qt::Tool;
    }
    if (look.borderStyle == TBorderStyle::None) return flags | Qt::FramelessWindowHint;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (look.systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (look.systemMenu && look.minimizeButton) flags |= Qt::WindowMinimizeButtonHint;
    const bool sizeable = look.borderStyle == TBorderStyle::Sizeable;
    if (look.systemMenu && look.maximizeButton && sizeable) flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

bool IsSizeable(TBorderStyle style) {
    return style == TBorderStyle::Sizeable || style == TBorderStyle::SizeToolWindow;
}

}  // namespace

TFrmRack::TFrmRack(TRackWindowOwner& owner) : m_owner(owner), m_binding(m_model, *this) {
    setObjectName(QString::fromLatin1(kRackWindowName.data(), kRackWindowName.size()));
    setAutoFillBackground(true);
    ApplyWindowLook();
}

TFrmRack::~TFrmRack() { Empty(); }

void TFrmRack::Empty() {
    while (!m_widgets.empty()) {
        delete m_widgets.front();
        m_widgets.erase(m_widgets.begin());
    }
    m_model.Clear();
}

void TFrmRack::ApplyWindowLook() {
    const TWindowLook& look = m_model.Window();
    const bool wasVisible = isVisible();
    const bool rebuilding = m_rebuilding;
    m_rebuilding = true;
    setWindowFlags(FlagsFor(look));  // this hides a shown window
    setWindowTitle(Latin1(look.caption));
    QPalette back = palette();
    back.setColor(QPalette::Window, ToQColor(look.colour, QColor(212, 208, 200)));
    setPalette(back);
    setFont(ToQFont(look.font));
    if (IsSizeable(look.borderStyle)) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(look.clientWidth, look.clientHeight);
    } else {
        setFixedSize(look.clientWidth, look.clientHeight);
    }
    move(look.left, look.top);
    if (wasVisible) show();
    m_rebuilding = rebuilding;
}

QString TFrmRack::UniqueWindowName(const QString& wanted) const {
    QSet<QString> taken;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this) taken.insert(window->objectName());
    }
    if (wanted.isEmpty() || !taken.contains(wanted)) return wanted;
    for (int suffix = 1;; ++suffix) {
        const QString name = wanted + QLatin1Char('_') + QString::number(suffix);
        if (!taken.contains(name)) return name;
    }
}

TStatus TFrmRack::LoadRack(const std::filesystem::path& file, const TLogLine& log) {
    Empty();
    m_rackLoaded = false;
    TResult<TFormObject> root = LoadRackFile(file);
    if (!root) return TStatus::Failure(root.Error());
    const TStatus loaded = m_model.Load(root.Value());
    setObjectName(UniqueWindowName(Latin1(root.Value().objectName)));
    BuildWidgets();
    if (!loaded) {
        ApplyWindowLook();
        return loaded;
    }
    m_rebuilding = true;  // hiding for the load is not the user's hide
    hide();
    m_rebuilding = false;
    ApplyWindowLook();
    if (!m_owner.Standalone()) {
        const TRackPosition position = m_owner.RackPosition(frameGeometry().size());
        move(position.left, position.top);
    }
    LoadImageHints();
    m_model.BindSpinners();
    for (TControlWidget* widget : m_widgets) widget->ShowState();
    show();
    BringToFront(*this);
    m_owner.SetRackOpen();
    m_rackLoaded = true;
    if (log) log(kRackIsOpen);
    return {};
}

void TFrmRack::BuildWidgets() {
    for (size_t i = 0; i < m_model.Count(); ++i) {
        TRackControl& control = m_model.Control(i);
        TControlWidget* widget = CreateControlWidget(control, this);
        if (auto* spinner = dynamic_cast<TSpinnerWidget*>(widget)) {
            spinner->SetStepAction([this, i](int delta) {
                if (const std::optional<size_t> companion = m_model.StepCompanion(i, delta)) {
                    ControlChanged(*companion);
                }
            });
        }
        if (auto* scope = dynamic_cast<TScopeWidget*>(widget)) {
            scope->SetRunActive([this] { return m_owner.RunActive(); });
        }
        WatchKeys(widget);
        m_widgets.push_back(widget);
        widget->ShowState();
    }
}

void TFrmRack::WatchKeys(QWidget* widget) {
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>()) child->installEventFilter(this);
}

// A picture named by an image's hint is part of the rack as loaded, so saving does not
// write it into the file.
void TFrmRack::LoadImageHints() {
    for (size_t i = 0; i < m_model.Count(); ++i) {
        TRackControl& control = m_model.Control(i);
        if (control.Class() != TControlClass::Image || control.hint.empty()) continue;
        const std::string graphicClass =
            m_owner.Standalone() ? std::string(kBitmapClass) : GraphicClassForFile(control.hint);
        if (graphicClass.empty()) continue;
        const std::filesystem::path path = PicturePath(control.hint);
        if (std::optional<TPicture> picture = ReadPictureFile(path, graphicClass)) {
            control.SetPicture(std::move(*picture));
            control.MarkLoaded();
        }
    }
}

std::filesystem::path TFrmRack::PicturePath(const std::string& fileName) const {
    if (!m_owner.Standalone()) return fileName;
    return m_owner.ExecutableFolder() / std::filesystem::path(fileName).filename();
}

std::filesystem::path TFrmRack::RackPath(const std::string& fileName) const {
    const std::filesystem::path folder = m_owner.PackagedRackFolder();
    if (!m_owner.Standalone() || folder.empty()) return fileName;
    const std::filesystem::path packaged = folder / std::filesystem::path(fileName).filename();
    std::error_code error;
    return std::filesystem::is_regular_file(packaged, error) ? packaged
                                                             : std::filesystem::path(fileName);
}

TStatus TFrmRack::SaveRack(const std::filesystem::path& file) {
    m_handlersAttached = false;
    const TFormObject root = m_model.Saved(FromLatin1(objectName()), x(), y());
    TResult<std::string> bytes = EncodeRack(root);
    if (!bytes) return TStatus::Failure(bytes.Error());
    return WriteFileBytes(file, bytes.Value());
}

void TFrmRack::ControlChanged(size_t index) {
    if (index < m_widgets.size()) m_widgets[index]->ShowState();
}

void TFrmRack::ScopeArmed(size_t index) {
    if (index >= m_widgets.size()) return;
    if (auto* scope = dynamic_cast<TScopeWidget*>(m_widgets[index])) scope->Arm();
}

void TFrmRack::StorePosition() { m_owner.SetRackPosition({x(), y()}); }

void TFrmRack::closeEvent(QCloseEvent* event) {
    if (m_handlersAttached) {
        if (m_owner.Standalone()) {
            m_owner.StopRun();
        } else {
            m_owner.ShowMainWindow();
        }
        StorePosition();
    }
    event->accept();
}

void TFrmRack::hideEvent(QHideEvent* event) {
    if (m_handlersAttached && !m_rebuilding && !isMinimized()) StorePosition();
    QWidget::hideEvent(event);
}

void TFrmRack::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized()) return;
    if (!m_owner.Standalone()) return;
    // A standalone program goes down to the task bar as a whole.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible() && !window->isMinimized())
            window->showMinimized();
    }
}

bool TFrmRack::HandleKeyUp(const QKeyEvent& event) {
    if (!m_handlersAttached) return false;
    if (m_owner.Standalone()) {
        const Qt::KeyboardModifiers held =
            event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
        if (event.key() != Qt::Key_F10 || held != (Qt::ControlModifier | Qt::AltModifier))
            return false;
        m_owner.ShowAbout();
        return true;
    }
    if (event.key() != Qt::Key_Escape) return false;
    hide();
    m_owner.ShowMainWindow();
    return true;
}

void TFrmRack::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat() || !HandleKeyUp(*event)) QWidget::keyReleaseEvent(event);
}

// The window sees its controls' keys first, as a form with key preview does; a key it acts
// on goes no further.
bool TFrmRack::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat() && HandleKeyUp(*key)) return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace korvane::racks
