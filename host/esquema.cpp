#include "host/esquema.h"

namespace hostkit {

// Declaration keys come first and in key order, and cNumero last, because
// the record control code is computed over the columns in table order.
const std::vector<std::string>& EsquemaHost() {
    static const std::vector<std::string> esquema = {
        "CREATE TABLE CONT ([Tip_doc_d] Byte, [Doc_id_d] text(15), [Cod_dep] text(4), "
        "[Nombre] text(100), [Usuario] text(20), [Direccion] text(100))",
        "ALTER TABLE CONT ADD CONSTRAINT PK_CONT PRIMARY KEY ([Tip_doc_d],[Doc_id_d])",

        "CREATE TABLE CLAVES ([Usuario] text(20), [Tipo] text(1), [Nombre] text(50))",
        "ALTER TABLE CLAVES ADD CONSTRAINT PK_CLAVES PRIMARY KEY ([Usuario])",

        "CREATE TABLE PARAM ([Numero] text(3), [Argumento] text(20), [Funcion] text(255), "
        "[Correl_Param] text(3))",
        "ALTER TABLE PARAM ADD CONSTRAINT PK_PARAM PRIMARY KEY ([Numero],[Argumento],"
        "[Correl_Param])",

        "CREATE TABLE SPOOL ([CodRep] text(6), [Secuencia] text(6), [Archivo] text(12), "
        "[Fecha] DateTime, [Usuario] text(20), [tip_doc_d] Short, [Doc_id_d] text(15))",
        "ALTER TABLE SPOOL ADD CONSTRAINT PK_SPOOL PRIMARY KEY ([CodRep],[Secuencia])",

        "CREATE TABLE CAB ([DOC_ID_D] text(15), [TIP_DOC_D] Short, [PERIODO] text(6), "
        "[FORMULARIO] text(4), [SEMANA] Short, [fec_pro] text(10), [estado] Short, "
        "[bcolibrad] text(3), [nrocheque] text(20), [cheque] text(15), [efectivo] text(15), "
        "[rectifica] text(1), [cNumero] text(6))",
        "ALTER TABLE CAB ADD CONSTRAINT PK_CAB PRIMARY KEY ([DOC_ID_D],[TIP_DOC_D],[PERIODO],"
        "[FORMULARIO],[SEMANA])",

        "CREATE TABLE DET ([DOC_ID_D] text(15), [TIP_DOC_D] Short, [PERIODO] text(6), "
        "[FORMULARIO] text(4), [SEMANA] Short, [CASILLA] text(3), [I_VALOR] text(50), "
        "[idcasilla] text(2), [estado] Short, [cNumero] text(6))",
        "ALTER TABLE DET ADD CONSTRAINT PK_DET PRIMARY KEY ([DOC_ID_D],[TIP_DOC_D],[PERIODO],"
        "[FORMULARIO],[SEMANA],[CASILLA])",

        "CREATE TABLE HCAB ([DOC_ID_D] text(15), [TIP_DOC_D] Short, [PERIODO] text(6), "
        "[FORMULARIO] text(4), [SEMANA] Short, [CORREL] text(3), [fec_pro] text(10), "
        "[estado] Short, [bcolibrad] text(3), [nrocheque] text(20), [cheque] text(15), "
        "[efectivo] text(15), [rectifica] text(1), [norden] text(20), [fec_env] DateTime, "
        "[control] text(8), [cNumero] text(6))",
        "ALTER TABLE HCAB ADD CONSTRAINT PK_HCAB PRIMARY KEY ([DOC_ID_D],[TIP_DOC_D],[PERIODO],"
        "[FORMULARIO],[SEMANA],[CORREL])",

        "CREATE TABLE HDET ([DOC_ID_D] text(15), [TIP_DOC_D] Short, [PERIODO] text(6), "
        "[FORMULARIO] text(4), [SEMANA] Short, [CASILLA] text(3), [CORREL] text(3), "
        "[I_VALOR] text(50), [idcasilla] text(2), [estado] Short, [cNumero] text(6))",
        "ALTER TABLE HDET ADD CONSTRAINT PK_HDET PRIMARY KEY ([DOC_ID_D],[TIP_DOC_D],[PERIODO],"
        "[FORMULARIO],[SEMANA],[CASILLA],[CORREL])",

        "CREATE TABLE [error] ([Codigo] text(6), [Descripcion] text(255))",

        "CREATE TABLE envio_t ([formulario] text(4), [tabla_o] text(10), [tabla_d] text(50), "
        "[tabla_ext] text(10), [indice] Byte, [obliga] Byte, [c_tip_doc_d] Byte, "
        "[c_doc_id_d] Long, [c_Formulario] Long, [c_periodo] Long, [c_estado] Long, "
        "[c_envio] Long, [c_semana] Long)",
        "ALTER TABLE envio_t ADD CONSTRAINT PK_ENVIO_T PRIMARY KEY ([formulario],[tabla_o])",

        "CREATE TABLE Reportes ([CodRep] text(6), [DescRep] text(60), [Activo] Short)",
        "ALTER TABLE Reportes ADD CONSTRAINT PK_REPORTES PRIMARY KEY ([CodRep])",
    };
    return esquema;
}

}  // namespace hostkit
