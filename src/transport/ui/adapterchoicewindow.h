// The network adapter chooser: one row per adapter address, the row of the
// current server address preselected; it closes only with a row chosen.
#pragma once

#include "transport/adapters.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QTableWidget;

namespace ledsign {

class TfrmMulNetCardChoice : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMulNetCardChoice(QWidget* parent = nullptr);

    void setAdapters(const QList<TAdapterInfo>& adapters, const QString& serverIp);
    // The chosen address, empty when none.
    QString chosenIp() const { return m_chosen; }
    bool notShowAgain() const;
    void setNotShowAgain(bool on);

    // Shows the chooser modally; nothing when it was not answered.
    static std::optional<AdapterChoice> choose(const QList<TAdapterInfo>& adapters, const QString& serverIp,
                                               QWidget* parent = nullptr);

    void done(int result) override;

private:
    void applyTexts();

    QTableWidget* m_table = nullptr;
    QCheckBox* cbNotShow = nullptr;
    QPushButton* btnOK = nullptr;
    QList<TAdapterInfo> m_adapters;
    QString m_chosen;
};

} // namespace ledsign
