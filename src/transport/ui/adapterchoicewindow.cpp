#include "transport/ui/adapterchoicewindow.h"

#include "language/language.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ledsign {

namespace {
constexpr int kChooserCategory = 16;
constexpr int kColumnsSub = 1;
} // namespace

TfrmMulNetCardChoice::TfrmMulNetCardChoice(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMulNetCardChoice"));
    setModal(true);
    m_table = new QTableWidget(0, 4, this);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    cbNotShow = new QCheckBox(this);
    btnOK = new QPushButton(this);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cbNotShow);
    bottom->addStretch();
    bottom->addWidget(btnOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(bottom);
    resize(640, 260);

    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (row >= 0 && row < m_adapters.size())
            m_chosen = m_adapters[row].ipAddress.trimmed();
    });
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    applyTexts();
}

void TfrmMulNetCardChoice::applyTexts()
{
    setWindowTitle(GetLgText(kChooserCategory, QStringLiteral("netWorkChoice")));
    cbNotShow->setText(GetLgText(kChooserCategory, QStringLiteral("cbNotShow")));
    btnOK->setText(GetLgText(kChooserCategory, QStringLiteral("btnOK")));
    m_table->setHorizontalHeaderLabels(GetLgList(kChooserCategory, kColumnsSub));
}

void TfrmMulNetCardChoice::setAdapters(const QList<TAdapterInfo>& adapters, const QString& serverIp)
{
    applyTexts();
    m_adapters = adapters;
    m_chosen.clear();
    m_table->clearSelection();
    m_table->setRowCount(int(adapters.size()));
    for (int row = 0; row < adapters.size(); ++row) {
        const TAdapterInfo& a = adapters[row];
        m_table->setItem(row, 0, new QTableWidgetItem(QString()));
        m_table->setItem(row, 1, new QTableWidgetItem(a.description));
        m_table->setItem(row, 2, new QTableWidgetItem(a.ipAddress));
        m_table->setItem(row, 3, new QTableWidgetItem(a.macAddress));
    }
    const int current = adapterIndexOf(adapters, serverIp);
    if (current >= 0) {
        m_table->selectRow(current);
        m_chosen = adapters[current].ipAddress.trimmed();
    }
    m_table->resizeColumnsToContents();
}

bool TfrmMulNetCardChoice::notShowAgain() const
{
    return cbNotShow->isChecked();
}

void TfrmMulNetCardChoice::setNotShowAgain(bool on)
{
    cbNotShow->setChecked(on);
}

void TfrmMulNetCardChoice::done(int result)
{
    // The window stays until a row is chosen.
    if (m_chosen.isEmpty()) {
        QMessageBox::information(this, windowTitle(), GetLgText(kChooserCategory, QStringLiteral("dlg_not_choice")));
        return;
    }
    QDialog::done(result);
}

std::optional<AdapterChoice> TfrmMulNetCardChoice::choose(const QList<TAdapterInfo>& adapters,
                                                          const QString& serverIp, QWidget* parent)
{
    TfrmMulNetCardChoice window(parent);
    window.setAdapters(adapters, serverIp);
    window.exec();
    if (window.chosenIp().isEmpty())
        return std::nullopt;
    return AdapterChoice{window.chosenIp(), window.notShowAgain()};
}

} // namespace ledsign
