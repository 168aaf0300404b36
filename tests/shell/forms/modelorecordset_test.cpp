#include "shell/forms/modelorecordset.h"

#include <QTableView>

#include "fixture.h"
#include "jet/database.h"
#include "vb/error.h"

namespace {

using shell::forms::ColumnaGrid;
using shell::forms::ModeloRecordset;

class Modelo : public HostForms {
  protected:
    void SetUp() override {
        HostForms::SetUp();
        db_ = hostkit::AbreHost(inst_);
        for (const char* p : {"200403", "200512"}) {
            db_->Execute(std::string("INSERT INTO CAB (DOC_ID_D, TIP_DOC_D, PERIODO, FORMULARIO, "
                                     "SEMANA, estado) VALUES ('20100123453', 6, '") +
                             p + "', '0787', 0, 9)",
                         jet::dbFailOnError);
        }
    }
    void TearDown() override {
        db_.reset();
        HostForms::TearDown();
    }
    std::unique_ptr<jet::Database> db_;
    const std::string sql_ =
        "SELECT A.DOC_ID_D, mid(A.PERIODO,5,2) & mid(A.PERIODO,1,4) as PERIODO, A.estado "
        "FROM CAB AS A ORDER BY A.PERIODO";
};

TEST_F(Modelo, ColumnsBoundByFieldNameWithFormatsCaptionsAndWidths) {
    ModeloRecordset m;
    // Field names in another letter case, one field the query lacks, one field twice.
    m.FijaColumnas({{"doc_id_d", "RUC", 1500, false, ""},
                    {"Periodo", "Periodo", 0, false, "0#/####"},
                    {"NORDEN", "Orden", 0, true, ""},
                    {"ESTADO", "Estado", 0, false, "00"},
                    {"estado", "Otra", 0, true, ""}});
    m.Carga(*db_, sql_);
    ASSERT_EQ(m.rowCount(), 2);
    ASSERT_EQ(m.columnCount(), 5);
    const std::vector<std::string> fila0 = {"20100123453", "03/2004", "", "09", "9"};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(m.data(m.index(0, c)).toString().toStdString(), fila0[c]) << c;
    }
    EXPECT_EQ(m.Texto(1, 1), "12/2005");
    EXPECT_EQ(m.headerData(0, Qt::Horizontal).toString(), "RUC");
    EXPECT_EQ(vb::ToText(m.Valor(1, "periodo")), "122005");
    EXPECT_TRUE(m.Valor(1, "norden").IsEmpty());
    EXPECT_TRUE(m.Valor(2, "periodo").IsEmpty());
    EXPECT_EQ(m.Valor(0, "ESTADO").NumberValue(), 9);

    QTableView v;
    v.setModel(&m);
    m.AplicaA(&v);
    EXPECT_EQ(v.columnWidth(0), 100);
    EXPECT_TRUE(v.isColumnHidden(2));
    EXPECT_FALSE(v.isColumnHidden(3));
    EXPECT_TRUE(v.isColumnHidden(4));
}

TEST_F(Modelo, RefreshRereadsAndAFailedQueryKeepsTheRows) {
    ModeloRecordset m;
    m.Carga(*db_, sql_);
    // Without columns laid out every field shows under its own name.
    ASSERT_EQ(m.columnCount(), 3);
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString().toUpper(), "PERIODO");
    db_->Execute("DELETE * FROM CAB WHERE PERIODO='200403'", jet::dbFailOnError);
    EXPECT_EQ(m.rowCount(), 2);
    m.Refresca();
    ASSERT_EQ(m.rowCount(), 1);
    EXPECT_EQ(m.Texto(0, 1), "122005");

    EXPECT_THROW(m.Carga(*db_, "SELECT * FROM NOEXISTE"), vb::VbError);
    EXPECT_EQ(m.rowCount(), 1);
    EXPECT_EQ(m.Sql(), sql_);
}

}  // namespace
