#include "app/TraceWindow.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "text/CodePage.h"

namespace qy::app {

/// The log's entries that match the filter, as rows of four columns.
class TraceModel final : public QAbstractTableModel {
public:
    explicit TraceModel(const env::TraceLog& log, QObject* parent) : QAbstractTableModel(parent), m_log(log) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 4; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || static_cast<size_t>(index.row()) >= m_rows.size()) return {};
        const env::TraceEntry& e = m_log.Entries()[m_rows[index.row()]];
        if (role == Qt::ToolTipRole || (role == Qt::AccessibleTextRole && index.column() == 1))
            return QString::fromStdU16String(env::TraceText(e));
        if (role != Qt::DisplayRole) return {};
        switch (index.column()) {
            case 0: return QString::fromStdU16String(env::TraceKindName(e.kind));
            case 1: {
                QString name = QString::fromStdU16String(e.name);
                if (e.kind == env::TraceKind::Call || e.kind == env::TraceKind::Construct)
                    name += QLatin1Char('(') + QString::fromStdU16String(e.arguments) + QLatin1Char(')');
                return name;
            }
            case 2: return (e.threw ? QStringLiteral("抛出 ") : QString()) + QString::fromStdU16String(e.value);
            case 3: return e.line ? QVariant(e.line) : QVariant();
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) return {};
        if (orientation == Qt::Vertical) {
            if (static_cast<size_t>(section) < m_rows.size()) return QVariant::fromValue(m_log.Entries()[m_rows[section]].order);
            return {};
        }
        static const char* const names[] = {"操作", "名称", "值", "行"};
        return section >= 0 && section < 4 ? QString::fromUtf8(names[section]) : QVariant();
    }

    void SetFilter(const QString& filter) {
        beginResetModel();
        m_filter = filter.trimmed().toStdU16String();
        m_rows = m_log.Matching(m_filter);
        m_seen = m_log.Entries().size();
        endResetModel();
    }
    /// Adds the entries that came since the last look, or starts over when the log did.
    void Update() {
        const auto& entries = m_log.Entries();
        if (entries.size() < m_seen || (m_seen && !m_rows.empty() && m_rows.back() >= entries.size())) {
            SetFilter(QString::fromStdU16String(m_filter));
            return;
        }
        std::vector<size_t> more = m_log.Matching(m_filter, m_seen);
        m_seen = entries.size();
        if (more.empty()) return;
        beginInsertRows({}, static_cast<int>(m_rows.size()), static_cast<int>(m_rows.size() + more.size() - 1));
        m_rows.insert(m_rows.end(), more.begin(), more.end());
        endInsertRows();
    }
    void Reset() { SetFilter(QString::fromStdU16String(m_filter)); }
    const std::vector<size_t>& Rows() const { return m_rows; }

private:
    const env::TraceLog& m_log;
    std::u16string m_filter;
    std::vector<size_t> m_rows;
    size_t m_seen = 0;
};

TraceWindow::TraceWindow(const env::TraceLog& log, bool tracing, QWidget* parent)
    : QDialog(parent), m_log(log), m_model(new TraceModel(log, this)) {
    setObjectName(QStringLiteral("窗口_环境访问记录"));
    setWindowTitle(QStringLiteral("环境访问记录"));
    resize(820, 500);
    auto* layout = new QVBoxLayout(this);

    m_switch = new QCheckBox(QStringLiteral("记录环境访问（重新加载代码后生效）"), this);
    m_switch->setObjectName(QStringLiteral("复选框_记录环境访问"));
    m_switch->setChecked(tracing);
    connect(m_switch, &QCheckBox::toggled, this, &TraceWindow::tracingChanged);

    auto* filterRow = new QHBoxLayout;
    auto* filterLabel = new QLabel(QStringLiteral("筛选(&F):"), this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("编辑框_筛选访问"));
    m_filter->setAccessibleName(QStringLiteral("筛选环境访问"));
    m_filter->setPlaceholderText(QStringLiteral("名称、值或操作，如 cookie、读取 navigator；空格分隔的词都要出现"));
    m_filter->setClearButtonEnabled(true);
    filterLabel->setBuddy(m_filter);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    connect(m_filter, &QLineEdit::textChanged, this, &TraceWindow::ApplyFilter);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("表格_环境访问"));
    m_table->setAccessibleName(QStringLiteral("环境访问列表"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setWordWrap(false);
    m_table->setAlternatingRowColors(true);
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_table->setColumnWidth(0, 56);
    m_table->setColumnWidth(3, 56);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);

    auto* bottom = new QHBoxLayout;
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("标签_访问条数"));
    auto* exportButton = new QPushButton(QStringLiteral("导出(&E)…"), this);
    exportButton->setObjectName(QStringLiteral("按钮_导出访问记录"));
    exportButton->setToolTip(QStringLiteral("把列表中显示的各条写入文本文件或 JSON 文件"));
    exportButton->setAccessibleDescription(exportButton->toolTip());
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    connect(exportButton, &QPushButton::clicked, this, &TraceWindow::ChooseExport);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    bottom->addWidget(m_count, 1);
    bottom->addWidget(exportButton);
    bottom->addWidget(close);

    layout->addWidget(m_switch);
    layout->addLayout(filterRow);
    layout->addWidget(m_table, 1);
    layout->addLayout(bottom);
    m_model->Reset();
    Refresh();
}

TraceWindow::~TraceWindow() = default;

void TraceWindow::Refresh() {
    m_model->Update();
    QString text = QStringLiteral("共 %1 条，显示 %2 条").arg(m_log.Entries().size()).arg(m_model->Rows().size());
    if (m_log.Dropped()) text += QStringLiteral("（另有 %1 条超出上限未记录）").arg(m_log.Dropped());
    if (m_log.Entries().empty() && !m_switch->isChecked()) text = QStringLiteral("未记录：勾选上方的开关后重新加载代码");
    m_count->setText(text);
    m_count->setAccessibleName(text);
}

int TraceWindow::ShownCount() const { return static_cast<int>(m_model->Rows().size()); }

void TraceWindow::ApplyFilter() {
    m_model->SetFilter(m_filter->text());
    Refresh();
}

bool TraceWindow::Export(const QString& path) const {
    const std::vector<size_t>& rows = m_model->Rows();
    std::string body = path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive)
                           ? env::TraceJsonFile(m_log.Entries(), rows)
                           : env::TraceTextFile(m_log.Entries(), rows);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    bool ok = file.write(body.data(), static_cast<qint64>(body.size())) == static_cast<qint64>(body.size());
    return file.flush() && ok;
}

void TraceWindow::ChooseExport() {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出环境访问记录"), QStringLiteral("环境访问记录.txt"),
                                                QStringLiteral("文本文件 (*.txt);;JSON 文件 (*.json)"));
    if (path.isEmpty()) return;
    if (!Export(path))
        QMessageBox::warning(this, QStringLiteral("导出环境访问记录"), QStringLiteral("无法写入文件：%1").arg(path));
}

}  // namespace qy::app
