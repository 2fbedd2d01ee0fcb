#pragma once

#include "config/DevicePick.h"

#include <QDialog>

struct AppContext;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// "Pick from EDS…": the device's object dictionary (SDO map) or its PDOs (PDO map)
// as a tree that typing filters; OK hands the chosen line back to the map editor.
class TFPickEds : public QDialog {
    Q_OBJECT
public:
    TFPickEds(AppContext &context, const AccessMapParams &params, MapDirection direction, const DeviceLink &link,
              QWidget *parent = nullptr);

    // Opens the remembered EDS, or asks for one when there is none or it does not
    // read. False when the user gave none: there is nothing to pick from.
    bool start();
    const DevicePick &pick() const { return m_pick; }
    // The line OK took, or nullptr.
    const DevicePickItem *chosen() const;

public slots:
    void accept() override;

private:
    bool chooseEds();
    bool openEds(const QString &path);
    void refill();
    void applyFilter();
    void showCurrent();

    AppContext &m_ctx;
    DevicePick m_pick;
    QString m_remembered;
    int m_chosen = -1;
    QLabel *m_edsLabel;
    QLineEdit *m_nodeId = nullptr;
    QLineEdit *m_search;
    QTreeWidget *m_tree;
    QLabel *m_reason;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
