/*
  Shared tables of the business database: people and their addresses and
  contacts, cities and states, lines of activity, option lists, base products,
  users and groups, the login log, the permission tables, the update-script log
  and the parameter row.

  The database is created with the default character set ISO8859_1.
  Keys are integers allocated by the clients (largest key plus one, or smallest
  minus one for rows the applications register themselves); no generators.

  Foreign keys and unique indexes are added by 90_constraints.sql, after all
  tables exist.
*/

-- Comparison helper used by the person search: upper-casing in the
-- database's own character set. It receives names (at most 50 characters);
-- a narrow parameter keeps each call cheap (a 32765-character one doubles
-- the time of a name search over a hundred thousand people).
SET TERM ^ ;
CREATE FUNCTION UDF_UPPER (S VARCHAR(255))
RETURNS VARCHAR(255)
AS
BEGIN
  RETURN UPPER(S);
END^
SET TERM ; ^

CREATE TABLE TAB_ESTADO (
  SG_ESTADO            CHAR(2)       NOT NULL,
  NM_ESTADO            VARCHAR(30)   NOT NULL,
  CONSTRAINT PK_TAB_ESTADO PRIMARY KEY (SG_ESTADO)
);

CREATE TABLE TAB_CIDADE (
  ID_CIDADE            INTEGER       NOT NULL,
  NM_CIDADE            VARCHAR(30)   NOT NULL,
  SG_ESTADO            CHAR(2)       NOT NULL,
  CD_IBGE              VARCHAR(7),
  NO_CEP_INICIAL       VARCHAR(8),
  CONSTRAINT PK_TAB_CIDADE PRIMARY KEY (ID_CIDADE)
);

CREATE TABLE TAB_ATIVIDADE (
  ID_ATIVIDADE         INTEGER       NOT NULL,
  NM_ATIVIDADE         VARCHAR(30)   NOT NULL,
  CONSTRAINT PK_TAB_ATIVIDADE PRIMARY KEY (ID_ATIVIDADE)
);

-- Every person and company, with one flag per role (CT_*): "S" means yes,
-- anything else (NULL included) means no.
CREATE TABLE CAD_PESSOA (
  ID_PESSOA            INTEGER       NOT NULL,
  CD_PESSOA            VARCHAR(15)   NOT NULL,
  NM_PESQUISA          VARCHAR(40)   NOT NULL,
  NM_PESSOA            VARCHAR(50)   NOT NULL,
  NO_CNPJ_CPF          VARCHAR(14),
  TP_PESSOA            CHAR(1),
  NO_INSC_ESTADUAL     VARCHAR(20),
  NO_RG                VARCHAR(20),
  DT_CADASTRO          DATE,
  DT_NASCIMENTO        DATE,
  ID_VENDEDOR          INTEGER,
  ID_ATIVIDADE         INTEGER,
  NO_REG_CONS_REGIONAL VARCHAR(15),
  DS_E_MAIL            VARCHAR(50),
  DS_HOME_PAGE         VARCHAR(60),
  CT_CLIENTE           CHAR(1),
  CT_FORNECEDOR        CHAR(1),
  CT_TRANSPORT         CHAR(1),
  CT_OUTROS            CHAR(1),
  CT_EMPRESA           CHAR(1),
  CT_REPRESENT         CHAR(1),
  CT_FUNCIONARIO       CHAR(1),
  ST_ATIVO             CHAR(1)       DEFAULT 'S',
  VL_LIMITE_CREDITO    NUMERIC(15,2),
  TX_OBS               BLOB SUB_TYPE TEXT,
  CONSTRAINT PK_CAD_PESSOA PRIMARY KEY (ID_PESSOA)
);

-- Addresses of a person; ST_FATURA = 'S' marks the billing address.
CREATE TABLE CAD_END_PESSOA (
  ID_END_PESSOA        INTEGER       NOT NULL,
  ID_PESSOA            INTEGER       NOT NULL,
  ID_CIDADE            INTEGER,
  DS_ENDERECO          VARCHAR(60),
  NO_ENDERECO          VARCHAR(10),
  DS_COMPLEMENTO       VARCHAR(30),
  NM_BAIRRO            VARCHAR(30),
  NO_CEP               VARCHAR(8),
  ST_FATURA            CHAR(1),
  ST_ENTREGA           CHAR(1),
  ST_COBRANCA          CHAR(1),
  CONSTRAINT PK_CAD_END_PESSOA PRIMARY KEY (ID_END_PESSOA)
);

-- Contacts and phone numbers; ST_FONE_PRINCIPAL = 'S' marks the main phone.
CREATE TABLE CAD_CONTATO_PESSOA (
  ID_CONTATO_PESSOA    INTEGER       NOT NULL,
  ID_PESSOA            INTEGER       NOT NULL,
  NM_CONTATO           VARCHAR(40),
  DS_CARGO             VARCHAR(30),
  NO_FONE              VARCHAR(20),
  DS_E_MAIL            VARCHAR(50),
  ST_FONE_PRINCIPAL    CHAR(1),
  CONSTRAINT PK_CAD_CONTATO_PESSOA PRIMARY KEY (ID_CONTATO_PESSOA)
);

-- Cities in which a person works (the area covered by a representative or a
-- carrier). Several rows per person are allowed.
CREATE TABLE CAD_PESSOA_CIDADE (
  ID_PESSOA_CIDADE     INTEGER       NOT NULL,
  ID_PESSOA            INTEGER       NOT NULL,
  ID_CIDADE            INTEGER       NOT NULL,
  CONSTRAINT PK_CAD_PESSOA_CIDADE PRIMARY KEY (ID_PESSOA_CIDADE)
);

-- Store of small option lists: ID_TABELA says which list a row belongs to.
CREATE TABLE TAB_OPCAO_TABELA (
  ID_OPCAO_TABELA      INTEGER       NOT NULL,
  ID_TABELA            INTEGER       NOT NULL,
  DS_OPCAO_TABELA      VARCHAR(100)  NOT NULL,
  CD_OPCAO_TABELA      VARCHAR(15),
  ST_ATIVO             CHAR(1)       DEFAULT 'S',
  CONSTRAINT PK_TAB_OPCAO_TABELA PRIMARY KEY (ID_OPCAO_TABELA)
);

-- Base products: the products whose sales are followed per equipment type.
CREATE TABLE CAD_PRODUTO_BASE (
  ID_PRODUTO_BASE      INTEGER       NOT NULL,
  NM_PRODUTO_BASE      VARCHAR(50)   NOT NULL,
  DS_UNIDADE           VARCHAR(3),
  CONSTRAINT PK_CAD_PRODUTO_BASE PRIMARY KEY (ID_PRODUTO_BASE)
);

CREATE TABLE SIS_GR_USUARIO (
  ID_GR_USUARIO        INTEGER       NOT NULL,
  NM_GR_USUARIO        VARCHAR(30)   NOT NULL,
  CONSTRAINT PK_SIS_GR_USUARIO PRIMARY KEY (ID_GR_USUARIO)
);

-- Users of all the applications. Exactly these fifteen columns: the user list
-- of the applications writes all of them back in its update statements.
CREATE TABLE SIS_USUARIO (
  ID_USUARIO           INTEGER       NOT NULL,
  NM_USUARIO           VARCHAR(40),
  ID_GR_USUARIO        INTEGER,
  NM_ACESSO            VARCHAR(15)   NOT NULL,
  DS_SENHA             VARCHAR(15),
  ST_OPERACIONAL       CHAR(1),
  ST_COMERCIAL         CHAR(1),
  ST_ADMINISTRATIVO    CHAR(1),
  ST_FINANCEIRO        CHAR(1),
  ST_COMPRA            CHAR(1),
  ST_FATURAMENTO       CHAR(1),
  ST_OS                CHAR(1),
  ST_RH                CHAR(1),
  CD_PRECO1            INTEGER,
  CD_PRECO2            INTEGER,
  CONSTRAINT PK_SIS_USUARIO PRIMARY KEY (ID_USUARIO)
);

-- One row per login to any application. The group is stored as it was at
-- login time (0 for a user without group), so it has no foreign key.
CREATE TABLE SIS_LOG_LOGIN (
  ID_LOG_LOGIN         INTEGER       NOT NULL,
  ID_USUARIO           INTEGER,
  ID_GR_USUARIO        INTEGER,
  NM_APLICATIVO        VARCHAR(40),
  DH_LOGIN             TIMESTAMP,
  DH_LOGOFF            TIMESTAMP,
  CD_IP                VARCHAR(40),
  CONSTRAINT PK_SIS_LOG_LOGIN PRIMARY KEY (ID_LOG_LOGIN)
);

-- Screens registered by the applications. The applications insert without a
-- column list, so the column order is part of the contract.
CREATE TABLE SIS_FORMULARIO (
  ID_FORM              INTEGER       NOT NULL,
  NM_FORM              VARCHAR(60)   NOT NULL,
  DS_CAPTION           VARCHAR(150),
  ID_APLICATIVO        INTEGER       NOT NULL,
  ST_MODIFICADO        CHAR(1),
  CONSTRAINT PK_SIS_FORMULARIO PRIMARY KEY (ID_FORM)
);

-- Buttons of the registered screens, plus the pseudo-buttons that stand for
-- the record rights. Inserted without a column list: the order is fixed.
CREATE TABLE SIS_COMPONENTE (
  ID_COMPONENTE        INTEGER       NOT NULL,
  ID_FORM              INTEGER       NOT NULL,
  NM_COMPONENTE        VARCHAR(60)   NOT NULL,
  NM_CLASSE            VARCHAR(60),
  DS_CAPTION           VARCHAR(150),
  ST_ATIVO             CHAR(1),
  ST_MODIFICADO        CHAR(1),
  CONSTRAINT PK_SIS_COMPONENTE PRIMARY KEY (ID_COMPONENTE)
);

-- Grants: a user group may use a component.
CREATE TABLE SIS_EVENTO_AUTORIZADO (
  ID_EVENTO_AUTORIZADO INTEGER       NOT NULL,
  ID_GR_USUARIO        INTEGER       NOT NULL,
  ID_COMPONENTE        INTEGER       NOT NULL,
  CONSTRAINT PK_SIS_EVENTO_AUTORIZADO PRIMARY KEY (ID_EVENTO_AUTORIZADO)
);

-- Update scripts already applied to this database by the maker's programs.
CREATE TABLE MOV_LOG_ATUALIZACAO (
  ID_LOG_ATUALIZACAO   INTEGER       NOT NULL,
  NO_LOG_ATUALIZACAO   INTEGER       NOT NULL,
  DS_LOG_ATUALIZACAO   VARCHAR(100),
  NM_APLICATIVO        VARCHAR(40),
  DH_ATUALIZACAO       TIMESTAMP,
  CONSTRAINT PK_MOV_LOG_ATUALIZACAO PRIMARY KEY (ID_LOG_ATUALIZACAO)
);

/*
  The single parameter row (ID_PARAMETRO = 1) shared by all applications.
  SCRIPT_RODADO and VERSAO_ERP are deliberately absent: the start-up of the
  application adds them to databases that lack them.
*/
CREATE TABLE TAB_PARAMETRO (
  ID_PARAMETRO             INTEGER       DEFAULT 1 NOT NULL,
  NM_EMPRESA               VARCHAR(51),
  NM_FANTASIA              VARCHAR(40),
  NM_SISTEMA               VARCHAR(50),
  NO_CNPJCPF               VARCHAR(14),
  NO_INSC_ESTADUAL         VARCHAR(20),
  NO_INSC_MUNICIPAL        VARCHAR(20),
  DS_ENDERECO              VARCHAR(60),
  NO_ENDERECO              VARCHAR(10),
  DS_COMPLEMENTO           VARCHAR(30),
  NM_BAIRRO                VARCHAR(30),
  NO_CEP                   VARCHAR(8),
  ID_CIDADE                INTEGER,
  NM_CONTATO               VARCHAR(30),
  NO_FONE                  VARCHAR(20),
  NO_FAX                   VARCHAR(20),
  DS_E_MAIL                VARCHAR(50),
  DS_HOME_PAGE             VARCHAR(60),
  LOGO_EMPRESA             BLOB SUB_TYPE BINARY,
  TX_LAUDO_TECNICO         BLOB SUB_TYPE TEXT,
  FM_MASCARA_QUANTIDADE    VARCHAR(30),
  FM_MASCARA_VALOR         VARCHAR(30),
  NO_CASAS_DECIMAIS_QTDE   SMALLINT,
  NO_CASAS_DECIMAIS_VALOR  SMALLINT,
  ST_CONFIRMA_SAIR         CHAR(1),
  ST_LOGIN_USUARIO_WINDOWS CHAR(1),
  ST_PESQUISA_EXATA_PESSOA CHAR(1),
  ST_CONTROLA_ESTOQUE      CHAR(1),
  ST_ESTOQUE_NEGATIVO      CHAR(1),
  ST_CALCULA_COMISSAO      CHAR(1),
  ST_BLOQUEIA_CLIENTE      CHAR(1),
  VL_PERC_COMISSAO         NUMERIC(9,2),
  VL_ALIQUOTA_ICMS         NUMERIC(9,2),
  NO_DIAS_TOLERANCIA       INTEGER,
  TP_REGIME_TRIBUTARIO     CHAR(1),
  CD_CNAE                  VARCHAR(10),
  DS_SERIE_NF_PADRAO       VARCHAR(3),
  NO_ULTIMA_NF             INTEGER,
  ID_NAT_OPERACAO_VENDA    INTEGER,
  DS_PASTA_BACKUP          VARCHAR(200),
  DT_ULTIMO_BACKUP         DATE,
  HR_BACKUP_AUTOMATICO     TIME,
  DH_ULTIMA_ALTERACAO      TIMESTAMP,
  TX_OBS_PADRAO_NF         BLOB SUB_TYPE TEXT,
  CONSTRAINT PK_TAB_PARAMETRO PRIMARY KEY (ID_PARAMETRO)
);
