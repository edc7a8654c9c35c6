/*
  Calculated analysis types. An analysis type with a row here may be named in formulas by its
  code (CD_TP_ANALISE, such as PH or ALC), and an analysis type with a formula (TX_FORMULA) is
  calculated: its value on a sample is computed from the sample's other values and stored in
  MOV_ANALISE_RESULTADO like a measured one, so every reader of the results sees it.
*/

CREATE TABLE SIS_CTV_FORMULA (
  ID_TP_ANALISE          INTEGER       NOT NULL,
  CD_TP_ANALISE          VARCHAR(15),
  TX_FORMULA             VARCHAR(1000),
  CONSTRAINT PK_SIS_CTV_FORMULA PRIMARY KEY (ID_TP_ANALISE)
);

/* The row goes with its analysis type. Added only where the analysis types' table exists,
   so that a database holding other tables only still gets the program's own. */
SET TERM ^ ;
EXECUTE BLOCK AS
BEGIN
  IF (EXISTS (SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'TAB_TP_ANALISE')
      AND NOT EXISTS (SELECT 1 FROM RDB$RELATION_CONSTRAINTS
                      WHERE RDB$CONSTRAINT_NAME = 'FK_SIS_CTV_FORMULA_TIPO')) THEN
    EXECUTE STATEMENT 'ALTER TABLE SIS_CTV_FORMULA ADD CONSTRAINT FK_SIS_CTV_FORMULA_TIPO '
      || 'FOREIGN KEY (ID_TP_ANALISE) REFERENCES TAB_TP_ANALISE (ID_TP_ANALISE) ON DELETE CASCADE';
END^
SET TERM ; ^

CREATE UNIQUE INDEX CODIGO_DO_TIPO_DE_ANALISE_UNQ1 ON SIS_CTV_FORMULA (CD_TP_ANALISE);
