#include "ui/qt/pickers/picker_window.h"

#include "ui/qt/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

namespace kavo::ui {

namespace {

constexpr int kLevelRole = Qt::UserRole;
constexpr int kIndentPixels = 8;
constexpr int kLargestFontPixels = 11;
constexpr int kSmallestFontPixels = 8;
constexpr int kIconPixels = 12;

QString qtText(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// Indents each directory row by its depth, as a classic directory list does.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }
    // Rows as tall as a line of text, so that the fixed box shows as many as it can.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize natural = QStyledItemDelegate::sizeHint(option, index);
        const int compact = std::max(option.fontMetrics.height(), kIconPixels) + 2;
        return {natural.width() + indent(index), std::min(natural.height(), compact)};
    }

private:
    static int indent(const QModelIndex& index) {
        return index.data(kLevelRole).toInt() * kIndentPixels;
    }
};

} // namespace

PickerWindow::PickerWindow(const QString& title, QSize clientTwips, int listsWidthTwips,
                           int dirHeightTwips, QWidget* parent)
    : QWidget(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      drive1_(new QComboBox(this)), dir1_(new QListWidget(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setFixedSize(px(clientTwips.width()), px(clientTwips.height()));
    // The controls were drawn for an 8-point sans serif of narrow metrics.
    QFont narrow = font();
    QStringList families{QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                         QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")};
    families.append(narrow.families());
    narrow.setFamilies(families);
    narrow.setPixelSize(kLargestFontPixels);
    setFont(narrow);
    if (parent != nullptr)
        connect(parent, &QObject::destroyed, this, &QObject::deleteLater);

    drive1_->setObjectName("Drive1");
    drive1_->setGeometry(twipRect(0, 0, listsWidthTwips, 315));
    connect(drive1_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            presenter_->chooseDrive(static_cast<std::size_t>(index));
    });

    dir1_->setObjectName("Dir1");
    dir1_->setGeometry(twipRect(0, 360, listsWidthTwips, dirHeightTwips));
    dir1_->setItemDelegate(new IndentDelegate(dir1_));
    dir1_->setSelectionMode(QAbstractItemView::SingleSelection);
    dir1_->setIconSize(QSize(kIconPixels, kIconPixels));
    dir1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    dir1_->installEventFilter(this);
    connect(dir1_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        presenter_->enterRow(static_cast<std::size_t>(dir1_->row(item)));
    });

    const QScreen* shownOn =
        parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    if (shownOn != nullptr)
        move(shownOn->availableGeometry().center() - rect().center());
    drive1_->setFocus();
}

PickerWindow::~PickerWindow() = default;

void PickerWindow::attach(PickerPresenter& presenter) {
    presenter_ = &presenter;
    for (const Drive& drive : presenter.lists().drives())
        drive1_->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), qtText(drive.text));
}

void PickerWindow::beep() {
    QApplication::beep();
}

void PickerWindow::fitFont(const QList<QWidget*>& widgets) {
    QFont fitting = font();
    for (int size = kLargestFontPixels; size >= kSmallestFontPixels; --size) {
        fitting.setPixelSize(size);
        setFont(fitting);
        if (std::all_of(widgets.begin(), widgets.end(), [](const QWidget* widget) {
                return widget->sizeHint().width() <= widget->width();
            }))
            return;
    }
}

void PickerWindow::setButtons(QPushButton* defaultButton, QPushButton* cancelButton) {
    default_ = defaultButton;
    defaultButton->setDefault(true);
    // A focused button takes Enter itself, as in a dialog.
    defaultButton->setAutoDefault(true);
    cancelButton->setAutoDefault(true);
    connect(cancelButton, &QPushButton::clicked, this, [this] { presenter_->cancel(); });
}

void PickerWindow::showEvent(QShowEvent* event) {
    // The main window is about to stop taking input: the keyboard must come here, also where
    // no window manager hands it over, with the focus frame shown at once.
    activateWindow();
    setAttribute(Qt::WA_KeyboardFocusChange);
    QWidget::showEvent(event);
}

void PickerWindow::closeEvent(QCloseEvent* event) {
    presenter_->closed();
    event->accept();
}

void PickerWindow::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && default_) {
            default_->click();
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            presenter_->cancel();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

bool PickerWindow::eventFilter(QObject* watched, QEvent* event) {
    // Enter on another directory goes there; on the current one it is the default button's.
    if (watched == dir1_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int row = dir1_->currentRow();
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && row >= 0 &&
            presenter_->enterKeyEnters(static_cast<std::size_t>(row))) {
            presenter_->enterRow(static_cast<std::size_t>(row));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PickerWindow::showLists() {
    const PickerLists& lists = presenter_->lists();
    const auto drive = lists.driveIndex();
    drive1_->setCurrentIndex(drive < lists.drives().size() ? static_cast<int>(drive) : -1);

    dir1_->setUpdatesEnabled(false);
    dir1_->clear();
    const auto& rows = lists.directoryRows();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const DirectoryRow& row : rows) {
        auto* item = new QListWidgetItem(row.open ? open : closed, qtText(row.label));
        item->setData(kLevelRole, row.level);
        item->setToolTip(qtText(row.path));
        dir1_->addItem(item);
    }
    dir1_->setCurrentRow(static_cast<int>(lists.currentRow()));
    dir1_->setUpdatesEnabled(true);
}

} // namespace kavo::ui
