#include "users/users_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/fonts.h"
#include "platform/windows.h"
#include "users/new_user_dialog.h"
#include "users/pupil_store.h"
#include "users/user_record.h"
#include "users/users_transfer_dialogs.h"

namespace tz {

namespace {

const QColor kListBackground(81, 74, 51);
const QColor kListText(255, 218, 176);

struct UsersWindow {
    // The user the program works on and the mode in force, which choosing changes.
    UserRecord* currentUser = nullptr;
    QString* currentMode = nullptr;
    PupilStore* store = nullptr;
    ScreenWindow* window = nullptr;
    QTreeWidget* list = nullptr;
    QAbstractButton* remove = nullptr;
    QAbstractButton* accept = nullptr;
    QAbstractButton* add = nullptr;
    QAbstractButton* import = nullptr;
    std::function<void(PupilStore&)> classReport;
};

// Rows a little taller than the text, and check boxes drawn light on the dark list so a
// marked row is seen at a glance.
class UsersListDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height() + 4, 19));
        return size;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        if (!(item.features & QStyleOptionViewItem::HasCheckIndicator)) return;
        const QWidget* widget = option.widget;
        const QStyle* style = widget ? widget->style() : QApplication::style();
        const QRect area =
            style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &item, widget);
        // Covers the style's own indicator, which is drawn dark on this background.
        const QColor back = (item.state & QStyle::State_Selected)
                                ? item.palette.color(QPalette::Highlight)
                                : item.palette.color(QPalette::Base);
        const QRectF box(area.center().x() - 6.5, area.center().y() - 6.5, 14, 14);
        painter->save();
        painter->fillRect(area.adjusted(-1, -1, 1, 1), back);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(QColor(150, 112, 62), 1));
        painter->setBrush(QColor(253, 236, 208));
        painter->drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
        if (item.checkState == Qt::Checked) {
            painter->setPen(
                QPen(QColor(40, 120, 30), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter->drawPolyline(
                QPolygonF({box.topLeft() + QPointF(3, 6.5), box.topLeft() + QPointF(5.5, 9.5),
                           box.topLeft() + QPointF(10, 3.5)}));
        }
        painter->restore();
    }
};

// Space marks or unmarks the current row whichever of its cells has the focus, as in any
// list with check boxes.
class UsersList : public QTreeWidget {
  public:
    using QTreeWidget::QTreeWidget;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        QTreeWidgetItem* item = currentItem();
        if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && item) {
            item->setCheckState(kNameColumn, item->checkState(kNameColumn) == Qt::Checked
                                                 ? Qt::Unchecked
                                                 : Qt::Checked);
            event->accept();
            return;
        }
        QTreeWidget::keyPressEvent(event);
    }
};

void PostListEvent(QTreeWidget* list, EventType type, int row) {
    Event event;
    event.type = type;
    event.window = list->window();
    event.id = kUsersListId;
    event.row = row;
    PostEvent(event);
}

QTreeWidget* AddUsersList(QWidget* parent) {
    auto* list = new UsersList(parent);
    list->setGeometry(10, 10, 575, 230);
    SetControlId(list, kUsersListId);
    list->setColumnCount(6);
    list->setHeaderLabels(
        {"Nombre y Apellidos", "Velocidad Media", "Nivel", "Bloque", "MODO", "ID"});
    const int widths[] = {250, 115, 50, 55, 80};
    for (int column = 0; column < 5; ++column) list->setColumnWidth(column, widths[column]);
    list->header()->setStretchLastSection(false);
    // The id column is hidden and takes no room: a hidden section keeps its old size in the
    // header's length, which would bring up a needless horizontal scroll bar.
    list->header()->setMinimumSectionSize(0);
    list->setColumnWidth(kIdColumn, 0);
    list->setColumnHidden(kIdColumn, true);
    list->header()->setSectionsMovable(false);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setFont(MakeFont("Arial", 9));
    list->setItemDelegate(new UsersListDelegate(list));

    QPalette palette = list->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, kListBackground);
        palette.setColor(group, QPalette::AlternateBase, kListBackground);
        palette.setColor(group, QPalette::Text, kListText);
        // The chosen row stays visible while the focus is elsewhere.
        palette.setColor(group, QPalette::Highlight, QColor(214, 142, 62));
        palette.setColor(group, QPalette::HighlightedText, QColor(255, 255, 255));
    }
    list->setPalette(palette);
    list->setStyleSheet(
        "QTreeWidget { border: 2px solid rgb(120, 92, 50); }"
        "QHeaderView { background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 rgb(253, 236, 208), stop:1 rgb(236, 204, 158)); }"
        "QHeaderView::section { background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 rgb(253, 236, 208), stop:1 rgb(236, 204, 158)); color: rgb(70, 44, 14);"
        " border: none; border-right: 1px solid rgb(190, 150, 100);"
        " border-bottom: 1px solid rgb(150, 112, 62); padding: 2px 4px; font-weight: bold; }");

    QObject::connect(list, &QTreeWidget::itemSelectionChanged, list, [list] {
        const QList<QTreeWidgetItem*> selected = list->selectedItems();
        const int row = selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.first());
        PostListEvent(list, EventType::SelectionChanged, row);
    });
    QObject::connect(
        list, &QTreeWidget::itemDoubleClicked, list, [list](QTreeWidgetItem* item, int) {
            PostListEvent(list, EventType::DoubleClick, list->indexOfTopLevelItem(item));
        });
    QObject::connect(list, &QTreeWidget::itemChanged, list, [list](QTreeWidgetItem* item, int) {
        PostListEvent(list, EventType::CheckChanged, list->indexOfTopLevelItem(item));
    });
    return list;
}

QPushButton* AddTransferButton(QWidget* parent, int id, const QString& caption, int left) {
    QPushButton* button = AddButton(parent, id, caption, QRect(left, 245, 105, 25));
    button->setFont(MakeFont("Arial", 9));
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        "QPushButton { color: rgb(70, 44, 14); border: 1px solid rgb(140, 100, 50);"
        " border-radius: 4px; background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 rgb(255, 240, 214), stop:1 rgb(240, 200, 140)); }"
        "QPushButton:hover { background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 rgb(255, 248, 230), stop:1 rgb(250, 214, 160)); }"
        "QPushButton:pressed { background-color: rgb(228, 186, 124); }"
        "QPushButton:disabled { color: rgb(160, 136, 108); border-color: rgb(196, 170, 130);"
        " background-color: rgb(240, 228, 208); }"
        "QPushButton:focus { border: 1px solid rgb(90, 60, 20); }");
    return button;
}

UsersWindow BuildUsersWindow(QWidget* owner, bool withReport) {
    UsersWindow users;
    users.window = CreateScreenWindow("USUARIOS", 596, 310, false, owner);
    users.window->SetKeyCapture(KeyCapture::Commands);
    SetTiledBackground(users.window, PictureName::UsersBackground);

    users.list = AddUsersList(users.window);
    users.add = AddPictureButton(users.window, kUsersAddId, PictureName::AddUser,
                                 QRect(10, 250, 50, 50), QStringLiteral("Añade un Usuario"));
    users.remove =
        AddPictureButton(users.window, kUsersDeleteId, PictureName::DeleteUser,
                         QRect(75, 250, 50, 50), QStringLiteral("Elimina Usuario seleccionado"));
    AddPictureButton(users.window, kUsersCancelId, PictureName::Cancel, QRect(470, 250, 50, 50),
                     QStringLiteral("Cancelar operación"));
    users.accept =
        AddPictureButton(users.window, kUsersAcceptId, PictureName::Accept, QRect(535, 250, 50, 50),
                         QStringLiteral("Aceptar Nuevo Usuario"));
    users.import =
        AddTransferButton(users.window, kUsersImportId, QStringLiteral("Importar Usuarios"), 185);
    AddTransferButton(users.window, kUsersExportId, QStringLiteral("Exportar Usuarios"), 300);
    if (withReport) {
        // Under the two transfer buttons, as wide as both together.
        QPushButton* report = AddTransferButton(users.window, kUsersReportId,
                                                QStringLiteral("Informe de la clase"), 185);
        report->setGeometry(185, 277, 220, 25);
        report->setToolTip(
            QStringLiteral("Guarda el informe de la clase como hoja de cálculo o PDF"));
    }
    return users;
}

int SelectedRow(const UsersWindow& users) {
    const QList<QTreeWidgetItem*> selected = users.list->selectedItems();
    return selected.isEmpty() ? -1 : users.list->indexOfTopLevelItem(selected.first());
}

void SelectRow(const UsersWindow& users, int row) {
    QTreeWidgetItem* item = users.list->topLevelItem(row);
    if (!item) return;
    users.list->setCurrentItem(item);
    users.list->scrollToItem(item);
}

QTreeWidgetItem* MakeRow(const QString& line) {
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(kNameColumn, Qt::Unchecked);
    // Numbers as they stand in the file, not re-formatted. The name as any door lets it in: a
    // line written before (or by hand) may hold one of megabytes, or one that hides its text.
    item->setText(kNameColumn, CleanUserName(UserLineField(line, UserField::Name)));
    item->setText(kSpeedColumn,
                  UserLineField(line, UserField::AverageSpeed) + QStringLiteral(" p.p.m."));
    item->setText(kLevelColumn, UserLineField(line, UserField::Level));
    item->setText(kBlockColumn, UserLineField(line, UserField::Block));
    item->setText(kModeColumn, NormaliseMode(UserLineField(line, UserField::Mode)));
    item->setText(kIdColumn, TrimSpaces(UserLineField(line, UserField::Id)));
    return item;
}

// Fills the list from the users file (a default one when there is none) with every row
// unmarked, and selects the CurrentUser's row, or the first one.
void LoadUserList(const UsersWindow& users) {
    {
        const QSignalBlocker quiet(users.list);
        users.list->clear();
    }
    if (users.store->PrepareList()) {
        // The new file settles before it is read, the window kept responsive meanwhile.
        WaitMs(100);
        DrainEvents();
        WaitMs(100);
    }
    const QString& currentId = users.currentUser->id;
    int remembered = -1;
    const UserLines file = users.store->ReadUserLines();
    {
        const QSignalBlocker quiet(users.list);
        QList<QTreeWidgetItem*> rows;
        rows.reserve(file.lines.size());
        for (const QString& line : file.lines) {
            // A blank line (a file edited by hand) holds no user.
            if (line.trimmed().isEmpty()) continue;
            rows.append(MakeRow(line));
            if (!currentId.isEmpty() && rows.back()->text(kIdColumn) == currentId) {
                remembered = static_cast<int>(rows.size()) - 1;
            }
        }
        // All at once: a class of thousands is not laid out again for every row.
        users.list->addTopLevelItems(rows);
    }
    SelectRow(users, remembered >= 0 ? remembered : 0);
    // An empty list here is no empty class: nothing may be added over pupils it cannot read.
    users.add->setEnabled(file.opened);
    users.import->setEnabled(file.opened);
    if (!file.opened) {
        Tell(QStringLiteral("USUARIOS"),
             users.store->CannotReadText() + QStringLiteral("\n\n") +
                 (file.problem.isEmpty() ? users.store->WhatToCheck() : file.problem) +
                 QStringLiteral("\n\nNo se ha borrado ningún usuario: la lista estará vacía, y no "
                                "se podrán añadir ni importar usuarios, hasta que se pueda leer."),
             DialogIcon::Exclamation);
    }
}

void RefreshUserButtons(const UsersWindow& users) {
    const bool selected = SelectedRow(users) >= 0;
    users.accept->setEnabled(selected);
    users.remove->setEnabled(selected);
}

QStringList MarkedIds(const UsersWindow& users) {
    QStringList ids;
    for (int row = 0; row < users.list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = users.list->topLevelItem(row);
        if (item->checkState(kNameColumn) == Qt::Checked) ids.append(item->text(kIdColumn));
    }
    return ids;
}

// Loads the selected row's user into the CurrentUser. When its line is no longer in the users
// file the CurrentUser stays as it was (a name is never kept under another user's id) and
// false is returned.
bool ChooseSelectedUser(const UsersWindow& users) {
    const int row = SelectedRow(users);
    if (row < 0) return false;
    const std::optional<UserRecord> chosen =
        users.store->LoadUser(users.list->topLevelItem(row)->text(kIdColumn));
    if (chosen && !chosen->name.isEmpty()) {
        *users.currentUser = *chosen;
        *users.currentMode = chosen->mode;
        return true;
    }
    Tell(QStringLiteral("USUARIOS"),
         QStringLiteral("No se encuentra a este usuario en ") + users.store->Place() +
             QStringLiteral(".\n\n"
                            "La lista se ha vuelto a cargar."),
         DialogIcon::Exclamation);
    LoadUserList(users);
    return false;
}

void DeleteSelectedUser(const UsersWindow& users) {
    const int row = SelectedRow(users);
    if (row < 0) return;
    QTreeWidgetItem* item = users.list->topLevelItem(row);
    const QString name = item->text(kNameColumn);
    const QString id = item->text(kIdColumn);
    if (!AskYesNo(QStringLiteral("Eliminar Usuario"),
                  name + QStringLiteral(" se Borrará de la lista, está seguro?"),
                  DialogIcon::Question)) {
        return;
    }
    // The row goes only when its line went: a list that shows what the file holds.
    const WriteResult deleted = users.store->DeleteUser(id, DrainEvents);
    if (!deleted) {
        Tell(QStringLiteral("Eliminar Usuario"),
             QStringLiteral("No se pudo eliminar a ") + name + QStringLiteral(": ") +
                 NotWrittenText(*users.store, deleted) +
                 (deleted.Busy() ? QStringLiteral(" Inténtalo de nuevo.") : QString()),
             DialogIcon::Exclamation);
        return;
    }
    delete item;
    SelectRow(users, 0);
    if (id == users.currentUser->id) {
        users.currentUser->name.clear();
        users.currentUser->id.clear();
    }
}

// Handles one event of the window; true when the window is to close.
bool HandleUsersEvent(const UsersWindow& users, const Event& event) {
    switch (event.type) {
        case EventType::CloseRequest:
            return true;
        case EventType::Char:
            if (event.code == 27) return true;
            // Enter chooses like Accept; with no row selected it just leaves.
            if (event.code == 13) return SelectedRow(users) < 0 || ChooseSelectedUser(users);
            return false;
        case EventType::DoubleClick:
            return SelectedRow(users) >= 0 && ChooseSelectedUser(users);
        case EventType::Click:
            break;
        default:
            return false;
    }
    switch (event.id) {
        case kUsersAcceptId:
            return ChooseSelectedUser(users);
        case kUsersCancelId:
            return true;
        case kUsersAddId: {
            const QString id = RunNewUserDialog(users.window, *users.store);
            users.window->activateWindow();
            // The reloaded list keeps the chosen pupil selected (or the first row).
            if (!id.isEmpty()) LoadUserList(users);
            users.list->setFocus();
            return false;
        }
        case kUsersDeleteId:
            DeleteSelectedUser(users);
            return false;
        case kUsersImportId:
            ImportUsers(*users.store, [&users] { LoadUserList(users); });
            return false;
        case kUsersExportId:
            if (users.list->topLevelItemCount() > 0) ExportUsers(*users.store, MarkedIds(users));
            return false;
        case kUsersReportId:
            if (users.classReport) users.classReport(*users.store);
            users.window->activateWindow();
            return false;
        default:
            return false;
    }
}

}  // namespace

void RunUsersWindow(QWidget* owner, PupilStore& store, UserRecord& currentUser,
                    QString& currentMode, const std::function<void(PupilStore&)>& classReport) {
    UsersWindow users = BuildUsersWindow(owner, static_cast<bool>(classReport));
    users.classReport = classReport;
    users.currentUser = &currentUser;
    users.currentMode = &currentMode;
    users.store = &store;
    users.window->show();
    DrainEvents();
    LoadUserList(users);
    BringToFront(users.window, false);
    if (owner) owner->setEnabled(false);
    // A window follows its owner into the disabled state unless told otherwise.
    users.window->setEnabled(true);
    SetAlwaysOnTop(users.window, true);
    users.window->activateWindow();
    users.list->setFocus();

    bool closing = false;
    while (!closing) {
        RefreshUserButtons(users);
        const Event event = WaitEvent();
        if (event.window == users.window) closing = HandleUsersEvent(users, event);
    }

    if (owner) owner->setEnabled(true);
    SetAlwaysOnTop(users.window, false);
    DestroyWindow(users.window);
    if (owner) BringToFront(owner, false);
}

}  // namespace tz
