/*
  Calculated analysis types. An analysis type with a row here may be named in formulas by its
  code (CD_TP_ANALISE, such as PH or ALC), and an analysis type with a formula (TX_FORMULA) is
  calculated: its value on a sample is computed from the sample's other values and stored in
  MOV_ANALISE_RESULTADO like a measured one, so every reader of the results sees it.

  The row goes with its analysis type when that is deleted.
*/

CREATE TABLE SIS_CTV_FORMULA (
  ID_TP_ANALISE          INTEGER       NOT NULL,
  CD_TP_ANALISE          VARCHAR(15),
  TX_FORMULA             VARCHAR(1000),
  CONSTRAINT PK_SIS_CTV_FORMULA PRIMARY KEY (ID_TP_ANALISE)
);

ALTER TABLE SIS_CTV_FORMULA ADD CONSTRAINT FK_SIS_CTV_FORMULA_TIPO
  FOREIGN KEY (ID_TP_ANALISE) REFERENCES TAB_TP_ANALISE (ID_TP_ANALISE) ON DELETE CASCADE;

CREATE UNIQUE INDEX CODIGO_DO_TIPO_DE_ANALISE_UNQ1 ON SIS_CTV_FORMULA (CD_TP_ANALISE);
