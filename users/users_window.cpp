#include "users/users_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "platform/dialogs.h"
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
    // Letters choose nothing here: a pupil is chosen by her row.
    void keyboardSearch(const QString&) override {}
};

QTreeWidget* MakeUsersList(QWidget* parent) {
    auto* list = new UsersList(parent);
    list->setGeometry(10, 10, 575, 230);
    SetControlId(list, kUsersListId);
    list->setAccessibleName(QStringLiteral("Lista de usuarios"));
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

    return list;
}

QPushButton* MakeTransferButton(QWidget* parent, int id, const QString& caption, int left) {
    QPushButton* button = MakeButton(parent, id, caption, QRect(left, 245, 105, 25));
    // Enter chooses a pupil whichever control has the focus.
    button->setAutoDefault(false);
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

QTreeWidgetItem* MakeRow(const UserRecord& pupil) {
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(kNameColumn, Qt::Unchecked);
    // The name as any door lets it in: a line written before (or by hand) may hold one of
    // megabytes, or one that hides its text.
    item->setText(kNameColumn, CleanUserName(pupil.name));
    item->setText(kSpeedColumn, QString::number(pupil.averageSpeed) + QStringLiteral(" p.p.m."));
    item->setText(kLevelColumn, QString::number(pupil.level));
    item->setText(kBlockColumn, QString::number(pupil.block));
    item->setText(kModeColumn, pupil.mode);
    item->setText(kIdColumn, pupil.id);
    return item;
}

}  // namespace

UsersWindow::UsersWindow(QWidget* owner, PupilStore& store, UserRecord& currentUser,
                         QString& currentMode, const std::function<void(PupilStore&)>& classReport)
    : QDialog(owner),
      store_(store),
      currentUser_(currentUser),
      currentMode_(currentMode),
      classReport_(classReport) {
    SetUpScreen(this, QStringLiteral("USUARIOS"), 596, 310, false);
    KeepOnTopWhileShown(this);
    SetTiledBackground(this, PictureName::UsersBackground);

    list_ = MakeUsersList(this);
    add_ = MakePictureButton(this, kUsersAddId, PictureName::AddUser, QRect(10, 250, 50, 50),
                             QStringLiteral("Añade un Usuario"));
    remove_ =
        MakePictureButton(this, kUsersDeleteId, PictureName::DeleteUser, QRect(75, 250, 50, 50),
                          QStringLiteral("Elimina Usuario seleccionado"));
    QAbstractButton* cancel =
        MakePictureButton(this, kUsersCancelId, PictureName::Cancel, QRect(470, 250, 50, 50),
                          QStringLiteral("Cancelar operación"));
    accept_ = MakePictureButton(this, kUsersAcceptId, PictureName::Accept, QRect(535, 250, 50, 50),
                                QStringLiteral("Aceptar Nuevo Usuario"));
    import_ = MakeTransferButton(this, kUsersImportId, QStringLiteral("Importar Usuarios"), 185);
    QPushButton* exportButton =
        MakeTransferButton(this, kUsersExportId, QStringLiteral("Exportar Usuarios"), 300);

    connect(list_, &QTreeWidget::itemSelectionChanged, this, &UsersWindow::RefreshButtons);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (SelectedRow() >= 0) ChooseSelected();
    });
    connect(accept_, &QAbstractButton::clicked, this, &UsersWindow::ChooseSelected);
    connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(add_, &QAbstractButton::clicked, this, &UsersWindow::AddUser);
    connect(remove_, &QAbstractButton::clicked, this, &UsersWindow::DeleteSelected);
    connect(import_, &QAbstractButton::clicked, this, [this] {
        ImportUsers(store_, [this] {
            if (!LoadList()) TellCannotRead();
        });
    });
    connect(exportButton, &QAbstractButton::clicked, this, [this] {
        if (list_->topLevelItemCount() > 0) ExportUsers(store_, MarkedIds());
    });
    if (classReport_) {
        // Under the two transfer buttons, as wide as both together.
        QPushButton* report =
            MakeTransferButton(this, kUsersReportId, QStringLiteral("Informe de la clase"), 185);
        report->setGeometry(185, 277, 220, 25);
        report->setToolTip(
            QStringLiteral("Guarda el informe de la clase como hoja de cálculo o PDF"));
        connect(report, &QAbstractButton::clicked, this, [this] { classReport_(store_); });
    }

    // Told once the window shows, over it.
    if (!LoadList()) QTimer::singleShot(0, this, &UsersWindow::TellCannotRead);
    list_->setFocus();
}

void UsersWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Over the window that opened it, with the keyboard.
    activateWindow();
}

void UsersWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        if (SelectedRow() < 0) {
            reject();
        } else {
            ChooseSelected();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

bool UsersWindow::LoadList() {
    const PupilList pupils = store_.PupilsToChoose();
    int remembered = -1;
    {
        const QSignalBlocker quiet(list_);
        list_->clear();
        QList<QTreeWidgetItem*> rows;
        rows.reserve(pupils.pupils.size());
        for (const UserRecord& pupil : pupils.pupils) {
            rows.append(MakeRow(pupil));
            // Of several rows with her id, the last.
            if (!currentUser_.id.isEmpty() && pupil.id == currentUser_.id)
                remembered = static_cast<int>(rows.size()) - 1;
        }
        // All at once: a class of thousands is not laid out again for every row.
        list_->addTopLevelItems(rows);
    }
    SelectRow(remembered >= 0 ? remembered : 0);
    RefreshButtons();
    // An empty list here is no empty class: nothing may be added over pupils it cannot read.
    add_->setEnabled(pupils.opened);
    import_->setEnabled(pupils.opened);
    problem_ = pupils.problem;
    return pupils.opened;
}

void UsersWindow::TellCannotRead() {
    Tell(QStringLiteral("USUARIOS"),
         store_.CannotReadText() + QStringLiteral("\n\n") +
             (problem_.isEmpty() ? store_.WhatToCheck() : problem_) +
             QStringLiteral("\n\nNo se ha borrado ningún usuario: la lista estará vacía, y no "
                            "se podrán añadir ni importar usuarios, hasta que se pueda leer."),
         DialogIcon::Exclamation);
}

void UsersWindow::RefreshButtons() {
    const bool selected = SelectedRow() >= 0;
    accept_->setEnabled(selected);
    remove_->setEnabled(selected);
}

int UsersWindow::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.first());
}

void UsersWindow::SelectRow(int row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (!item) return;
    list_->setCurrentItem(item);
    list_->scrollToItem(item);
}

QStringList UsersWindow::MarkedIds() const {
    QStringList ids;
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list_->topLevelItem(row);
        if (item->checkState(kNameColumn) == Qt::Checked) ids.append(item->text(kIdColumn));
    }
    return ids;
}

void UsersWindow::ChooseSelected() {
    const int row = SelectedRow();
    if (row < 0) return;
    const std::optional<UserRecord> chosen =
        store_.LoadUser(list_->topLevelItem(row)->text(kIdColumn));
    // A name is never kept under another pupil's id.
    if (chosen && !chosen->name.isEmpty()) {
        currentUser_ = *chosen;
        currentMode_ = chosen->mode;
        accept();
        return;
    }
    Tell(QStringLiteral("USUARIOS"),
         QStringLiteral("No se encuentra a este usuario en ") + store_.Place() +
             QStringLiteral(".\n\nLa lista se ha vuelto a cargar."),
         DialogIcon::Exclamation);
    if (!LoadList()) TellCannotRead();
}

void UsersWindow::AddUser() {
    // The reloaded list keeps the chosen pupil selected (or the first row).
    if (!RunNewUserDialog(this, store_).isEmpty() && !LoadList()) TellCannotRead();
    list_->setFocus();
}

void UsersWindow::DeleteSelected() {
    const int row = SelectedRow();
    if (row < 0) return;
    QTreeWidgetItem* item = list_->topLevelItem(row);
    const QString name = item->text(kNameColumn);
    const QString id = item->text(kIdColumn);
    if (!AskYesNo(QStringLiteral("Eliminar Usuario"),
                  name + QStringLiteral(" se Borrará de la lista, está seguro?"),
                  DialogIcon::Question)) {
        return;
    }
    // The row goes only when its pupil went: a list that shows what the store holds.
    const WriteResult deleted = store_.DeleteUser(id);
    if (!deleted) {
        Tell(QStringLiteral("Eliminar Usuario"),
             QStringLiteral("No se pudo eliminar a ") + name + QStringLiteral(": ") +
                 NotWrittenText(store_, deleted) +
                 (deleted.Busy() ? QStringLiteral(" Inténtalo de nuevo.") : QString()),
             DialogIcon::Exclamation);
        return;
    }
    delete item;
    SelectRow(0);
    RefreshButtons();
    if (id == currentUser_.id) {
        currentUser_.name.clear();
        currentUser_.id.clear();
    }
}

void RunUsersWindow(QWidget* owner, PupilStore& store, UserRecord& currentUser,
                    QString& currentMode, const std::function<void(PupilStore&)>& classReport) {
    UsersWindow window(owner, store, currentUser, currentMode, classReport);
    window.exec();
}

}  // namespace tz
