#pragma once

#include "config/AccessMap.h"

#include <QDialog>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <optional>

struct AppContext;
class QLabel;
class QPushButton;
class QTabWidget;

// A map grid that behaves like a spreadsheet: typing replaces a cell, Enter moves
// down, Delete clears the selection, Ctrl+C / Ctrl+X / Ctrl+V move blocks of
// cells as tab-separated text. The grid never grows.
class MapGridView : public QTableView {
    Q_OBJECT
public:
    explicit MapGridView(QWidget *parent = nullptr);
    AccessMapModel *mapModel() const { return qobject_cast<AccessMapModel *>(model()); }
    // Commits the cell being typed in, if any.
    void commitOpenEditor();
    void copySelection();
    void pasteClipboard();
    void clearSelection();

signals:
    void editorClosed(QWidget *editor);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    QRect selectedBlock() const;
};

// The colours of the map columns and the cell editor that reports every change of its text.
class MapGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit MapGridDelegate(const AccessMapParams &params, QObject *parent = nullptr);
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

signals:
    void editTextChanged(QWidget *editor, const QModelIndex &index, const QString &text);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    const AccessMapParams &m_params;
};

// The window of an access map (SDO or PDO, by its params): two tabs of grids, the
// used-byte counter of the active direction, OK and Cancel.
class AccessMapEditor : public QDialog {
    Q_OBJECT
public:
    AccessMapEditor(const AccessMapParams &params, AppContext &context, QWidget *parent = nullptr);

    AccessMap &map() { return m_map; }
    MapGridView *grid(MapDirection direction) const { return direction == MapDirection::In ? m_gridIn : m_gridOut; }

    // Totals per direction, counting the cell being typed in.
    AccessMap::ByteCounts CountMapBytes() const;
    void ShowUsedBytes();
    // The checks of OK; shows the first failing one's message.
    bool ValidateMap();

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void BitBtn1Click();

private:
    void FormShow();
    MapGridView *makeGrid(MapDirection direction, const char *name);
    MapDirection activeDirection() const;

    const AccessMapParams &m_params;
    AppContext &m_ctx;
    AccessMap m_map;
    QTabWidget *m_tabs;
    MapGridView *m_gridIn;
    MapGridView *m_gridOut;
    QLabel *m_usedBytes;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    // The cell editor being typed in and what it holds now.
    QPointer<QWidget> m_editor;
    std::optional<MapCellEdit> m_edit;
    bool m_sized = false;
};
