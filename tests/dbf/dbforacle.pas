{ Test oracle for the table engine: drives TDbf, the dBase library the earlier versions of
  the program used, so that the test suite can check that tables and production indexes
  pass between the two in both directions.

  dbforacle create <dir>          writes reference tables with TDbf (level 7 and level 4)
  dbforacle olddb <dir> <loc.dbf> <samples.dbf>  writes a database of an earlier version (no
                                  DESMIDINFO) under the given file names
  dbforacle dump <file.dbf> [regen]  opens a table exclusively, optionally regenerates its
                                  indexes, and prints every record in physical order and in
                                  the order of every tag
  dbforacle bench <dir> <n>       timing peer for the benchmark (append, index, walk, locate,
                                  pack)

  Dump output, one line per record, fields separated by TAB, text as stored (code page of
  the table):  <tag or '-'> TAB <physical recno> TAB <field 1> TAB ... }
program dbforacle;

{$mode objfpc}{$H+}

uses
  SysUtils, Classes, DB, dbf, dbf_common;

procedure Fail(const Msg: string);
begin
  WriteLn(StdErr, 'dbforacle: ', Msg);
  Halt(2);
end;

function Latin1(const S: string): string;
begin
  { source text is UTF-8; the tables hold Windows-1252 }
  Result := UTF8ToAnsi(S);
end;

procedure MakeTable(const Dir, Name: string; Level: Integer; Fields: array of string;
  Sizes: array of Integer; Ints: array of Boolean);
var
  T: TDbf;
  I: Integer;
begin
  T := TDbf.Create(nil);
  try
    T.FilePathFull := Dir;
    T.TableName := Name;
    T.TableLevel := Level;
    T.LanguageID := $58;
    for I := 0 to High(Fields) do
      if Ints[I] then
        T.FieldDefs.Add(Fields[I], ftInteger, 0, False)
      else
        T.FieldDefs.Add(Fields[I], ftString, Sizes[I], False);
    T.CreateTable;
  finally
    T.Free;
  end;
end;

function OpenTable(const Dir, Name: string): TDbf;
begin
  Result := TDbf.Create(nil);
  Result.FilePathFull := Dir;
  Result.TableName := Name;
  Result.Exclusive := True;
  Result.Open;
end;

procedure AddRow(T: TDbf; Values: array of string);
var
  I: Integer;
begin
  T.Append;
  for I := 0 to High(Values) do
    if Values[I] <> '' then
      if T.Fields[I].DataType = ftInteger then
        T.Fields[I].AsInteger := StrToInt(Values[I])
      else
        T.Fields[I].AsString := Latin1(Values[I]);
  T.Post;
end;

procedure CreateAll(const Dir: string);
var
  T: TDbf;
begin
  MakeTable(Dir, 'Oracle1.dbf', 7,
    ['ID', 'LOCATIE', 'DAG', 'MAAND', 'JAAR', 'ZUURGRAAD', 'OPMLOCATIE', 'COORDX', 'COORDY',
     'MONSTERSRT', 'ANALIST', 'OWNER', 'LOCCODE', 'PH', 'GELEIDING', 'WATERTEMP', 'WTYPE',
     'HERBARIUM', 'AMAAT'],
    [0, 100, 2, 2, 4, 50, 100, 12, 12, 50, 25, 25, 20, 20, 20, 20, 25, 25, 25],
    [True, False, False, False, False, False, False, False, False, False, False, False, False,
     False, False, False, False, False, False]);
  MakeTable(Dir, 'Oracle2.dbf', 7,
    ['ID', 'DATUM', 'KXY', 'UXY', 'DESMID', 'ABUND', 'DL', 'ZYGO', 'FOTO', 'ZEKER',
     'OPMDESMID', 'DESMIDINFO'],
    [0, 10, 7, 7, 80, 6, 6, 6, 6, 6, 100, 100],
    [True, False, False, False, False, False, False, False, False, False, False, False]);
  MakeTable(Dir, 'Biotoopcodes.dbf', 4, ['CODE', 'BIOTOOP'], [10, 80], [False, False]);
  MakeTable(Dir, 'Hokken.dbf', 4, ['HOK', 'XCOORD', 'YCOORD'], [8, 0, 0], [False, True, True]);

  T := OpenTable(Dir, 'Oracle1.dbf');
  try
    T.AddIndex('ID', 'ID', [ixCaseInsensitive]);
    T.AddIndex('Locatie', 'SUBSTR(LOCATIE,1,91)+JAAR+MAAND+DAG', [ixExpression, ixCaseInsensitive]);
    T.AddIndex('Datum', 'JAAR+MAAND+DAG+SUBSTR(LOCATIE,1,91)', [ixExpression, ixCaseInsensitive]);
    T.AddIndex('DatumDesc', 'JAAR+MAAND+DAG+SUBSTR(LOCATIE,1,91)', [ixExpression, ixDescending, ixCaseInsensitive]);
    AddRow(T, ['3', 'Wijstgronden ven', '07', '05', '2003', 'zuur', 'oever met veenmos', '161.2', '399.9', 'knijp', 'Jan', 'Jan', 'W1', '4,5', '55', '12', 'V1', 'H3', 'A']);
    AddRow(T, ['1', 'Ätsch meer', '12', '11', '1999', '', 'Crème brûlée', '161', '400', '', 'Zoë', '', '', '', '', '', '', '', '']);
    AddRow(T, ['10', 'achterste plas', '01', '01', '2010', '', '', '', '', '', '', '', '', '', '', '', '', '', '']);
    AddRow(T, ['-2', 'Zwarte ven', '30', '06', '2003', 'neutraal', '', '', '', '', '', '', '', '', '', '', '', '', '']);
    AddRow(T, ['7', 'Éénhoorn', '15', '08', '1987', '', 'ëïöü ÀÉ ß', '', '', '', '', '', '', '', '', '', '', '', '']);
    AddRow(T, ['5', 'Wijstgronden ven', '07', '05', '2001', '', '', '', '', '', '', '', '', '', '', '', '', '', '']);
    T.Close;
  finally
    T.Free;
  end;

  T := OpenTable(Dir, 'Oracle2.dbf');
  try
    T.AddIndex('DESMID', 'DESMID', [ixCaseInsensitive]);
    T.AddIndex('ID', 'ID', [ixCaseInsensitive]);
    T.AddIndex('KXY', 'KXY', [ixCaseInsensitive]);
    T.AddIndex('UXY', 'UXY', [ixCaseInsensitive]);
    AddRow(T, ['3', '2003-05-07', '161-399', 'A5-13', 'Closterium acerosum', '3', 'L', '', 'X', '', 'Crème', '']);
    AddRow(T, ['3', '2003-05-07', '161-399', 'A5-13', 'Cosmarium botrytis', '1', 'D', 'Z', '', '?', '', '']);
    AddRow(T, ['1', '1999-11-12', '161-400', 'A5-14', 'closterium lunula', '', '', '', '', '', '', 'naïef']);
    AddRow(T, ['10', '2010-01-01', '', '', 'Euastrum ansatum', '2', '', '', '', '', '', '']);
    AddRow(T, ['7', '1987-08-15', '001-002', 'B1-01', 'Staurastrum', '', '', '', '', '', 'Ölfleck', '']);
    AddRow(T, ['-2', '2003-06-30', '161-399', 'A5-13', 'Geen sieralgen', '', '', '', '', '', '', '']);
    AddRow(T, ['5', '2001-05-07', '170-410', 'C2-02', 'Micrasterias rotata', '5', 'L', '', '', '', '', '']);
    T.Delete; { the last record carries the deleted mark }
    T.Close;
  finally
    T.Free;
  end;

  T := OpenTable(Dir, 'Biotoopcodes.dbf');
  try
    AddRow(T, ['V1', 'Ven, zuur']);
    AddRow(T, ['S2', 'Sloot in veenweide']);
    AddRow(T, ['Ä3', 'Hoogveen, ongestoord; één']);
    T.Close;
  finally
    T.Free;
  end;
  T := OpenTable(Dir, 'Hokken.dbf');
  try
    AddRow(T, ['A5-13', '161', '399']);
    AddRow(T, ['B1-01', '-5', '0']);
    T.Close;
  finally
    T.Free;
  end;
end;

{ A database of an earlier version: the samples table has no DESMIDINFO. The file names are
  given, so that a database copied from Windows (upper-case companions) can be made too. }
procedure CreateOld(const Dir, LocFile, SampleFile: string);
var
  T: TDbf;
begin
  MakeTable(Dir, LocFile, 7,
    ['ID', 'LOCATIE', 'DAG', 'MAAND', 'JAAR', 'ZUURGRAAD', 'OPMLOCATIE', 'COORDX', 'COORDY',
     'MONSTERSRT', 'ANALIST', 'OWNER', 'LOCCODE', 'PH', 'GELEIDING', 'WATERTEMP', 'WTYPE',
     'HERBARIUM', 'AMAAT'],
    [0, 100, 2, 2, 4, 50, 100, 12, 12, 50, 25, 25, 20, 20, 20, 20, 25, 25, 25],
    [True, False, False, False, False, False, False, False, False, False, False, False, False,
     False, False, False, False, False, False]);
  MakeTable(Dir, SampleFile, 7,
    ['ID', 'DATUM', 'KXY', 'UXY', 'DESMID', 'ABUND', 'DL', 'ZYGO', 'FOTO', 'ZEKER',
     'OPMDESMID'],
    [0, 10, 7, 7, 80, 6, 6, 6, 6, 6, 100],
    [True, False, False, False, False, False, False, False, False, False, False]);
  T := OpenTable(Dir, LocFile);
  try
    T.AddIndex('ID', 'ID', [ixCaseInsensitive]);
    T.AddIndex('Locatie', 'SUBSTR(LOCATIE,1,91)+JAAR+MAAND+DAG', [ixExpression, ixCaseInsensitive]);
    AddRow(T, ['0', 'Oude ven', '07', '05', '1988', 'Zuur', '', '161', '399', '', 'Jan', '', '', '4,5', '55', '', '', '', '']);
    AddRow(T, ['1', 'Oude sloot', '12', '11', '1989', '', '', '162', '400', '', 'Jan', '', '', '', '', '', '', '', '']);
    T.Close;
  finally
    T.Free;
  end;
  T := OpenTable(Dir, SampleFile);
  try
    T.AddIndex('DESMID', 'DESMID', [ixCaseInsensitive]);
    T.AddIndex('ID', 'ID', [ixCaseInsensitive]);
    AddRow(T, ['0', '1988-05-07', '161-399', '160-395', 'Cosmarium botrytis', '1', 'L', '', '', '', 'oud']);
    AddRow(T, ['0', '1988-05-07', '161-399', '160-395', 'Closterium acerosum', '2', '', '', '', '', '']);
    AddRow(T, ['1', '1989-11-12', '162-400', '160-400', 'Euastrum ansatum', '', '', '', '', '', 'Crème']);
    T.Close;
  finally
    T.Free;
  end;
end;

procedure DumpRecords(T: TDbf; const Tag: string);
var
  I: Integer;
  Line: string;
begin
  T.First;
  while not T.EOF do
  begin
    Line := Tag + #9 + IntToStr(T.PhysicalRecNo);
    for I := 0 to T.FieldCount - 1 do
      if T.Fields[I].IsNull then
        Line := Line + #9 + '<null>'
      else
        Line := Line + #9 + T.Fields[I].AsString;
    WriteLn(Line);
    T.Next;
  end;
end;

procedure Dump(const FileName: string; Regen: Boolean);
var
  T: TDbf;
  I: Integer;
  Names: TStringList;
begin
  T := TDbf.Create(nil);
  Names := TStringList.Create;
  try
    T.FilePathFull := ExtractFilePath(ExpandFileName(FileName));
    T.TableName := ExtractFileName(FileName);
    T.Exclusive := True;
    T.Open;
    if Regen then
      T.RegenerateIndexes;
    WriteLn('#level', #9, T.TableLevel, #9, 'count', #9, T.ExactRecordCount, #9,
      'lang', #9, T.LanguageID);
    for I := 0 to T.IndexDefs.Count - 1 do
      WriteLn('#tag', #9, T.IndexDefs[I].IndexFile, #9, T.IndexDefs[I].SortField, #9,
        BoolToStr(ixDescending in T.IndexDefs[I].Options, '1', '0'));
    T.IndexName := '';
    DumpRecords(T, '-');
    for I := 0 to T.IndexDefs.Count - 1 do
      Names.Add(T.IndexDefs[I].IndexFile);
    for I := 0 to Names.Count - 1 do
    begin
      T.IndexName := Names[I];
      DumpRecords(T, UpperCase(Names[I]));
    end;
    T.Close;
  finally
    Names.Free;
    T.Free;
  end;
end;


function Millis: Int64;
begin
  Result := GetTickCount64;
end;

procedure Report(const Name: string; Started: Int64);
begin
  WriteLn(Name, #9, Millis - Started);
end;

{ The timing peer of bench/core_dbf.cpp: the same samples layout, names and tags. }
procedure Bench(const Dir: string; N: Integer);
const
  Genera: array[0..19] of string = ('Actinotaenium', 'Closterium', 'Cosmarium', 'Cylindrocystis',
    'Desmidium', 'Euastrum', 'Gonatozygon', 'Hyalotheca', 'Micrasterias', 'Netrium', 'Penium',
    'Pleurotaenium', 'Spirotaenia', 'Staurastrum', 'Staurodesmus', 'Tetmemorus', 'Xanthidium',
    'Mesotaenium', 'Roya', 'Teilingia');
  Stems: array[0..24] of string = ('acer', 'lun', 'botry', 'ans', 'rot', 'punct', 'margarit',
    'tetra', 'quadr', 'brebis', 'ral', 'obl', 'cuc', 'sub', 'trunc', 'crist', 'dent', 'gran',
    'orbic', 'pyg', 'spin', 'lae', 'curt', 'mono', 'dilat');
  Ends: array[0..9] of string = ('um', 'ula', 'is', 'atum', 'ata', 'ense', 'oides', 'iforme',
    'ulum', 'ii');
  Tags: array[0..3] of string = ('DESMID', 'ID', 'KXY', 'UXY');
var
  T: TDbf;
  I, Id, Found: Integer;
  Started: Int64;
begin
  MakeTable(Dir, 'Peer2.dbf', 7,
    ['ID', 'DATUM', 'KXY', 'UXY', 'DESMID', 'ABUND', 'DL', 'ZYGO', 'FOTO', 'ZEKER',
     'OPMDESMID', 'DESMIDINFO'],
    [0, 10, 7, 7, 80, 6, 6, 6, 6, 6, 100, 100],
    [True, False, False, False, False, False, False, False, False, False, False, False]);
  RandSeed := 7;
  T := OpenTable(Dir, 'Peer2.dbf');
  T.AddIndex('DESMID', 'DESMID', [ixCaseInsensitive]);
  T.AddIndex('ID', 'ID', [ixCaseInsensitive]);
  T.AddIndex('KXY', 'KXY', [ixCaseInsensitive]);
  T.AddIndex('UXY', 'UXY', [ixCaseInsensitive]);
  Started := Millis;
  for I := 0 to N - 1 do
  begin
    Id := Random(50000);
    T.Append;
    T.Fields[0].AsInteger := Id;
    T.Fields[1].AsString := Format('%.4d-%.2d-%.2d', [1980 + Id mod 40, 1 + Id mod 12, 1 + Id mod 28]);
    T.Fields[2].AsString := Format('%.3d-%.3d', [Id mod 280, (Id div 280) mod 620]);
    T.Fields[3].AsString := Format('%s%d-%.2d', [Chr(Ord('A') + Id mod 26), Id mod 10, Id mod 60]);
    T.Fields[4].AsString := Genera[Random(20)] + ' ' + Stems[Random(25)] + Ends[Random(10)];
    T.Fields[5].AsString := IntToStr(1 + Random(5));
    T.Post;
  end;
  Report('append', Started);
  T.Close;
  T.Free;

  Started := Millis;
  T := OpenTable(Dir, 'Peer2.dbf');
  T.RegenerateIndexes;
  Report('open+regenerate', Started);
  for I := 0 to High(Tags) do
  begin
    T.IndexName := Tags[I];
    Started := Millis;
    T.First;
    while not T.EOF do
      T.Next;
    Report('walk ' + Tags[I], Started);
  end;
  T.IndexName := '';
  T.First;
  I := 0;
  while not T.EOF do
  begin
    if I mod 100 = 1 then
    begin
      T.Delete;
    end else
      T.Next;
    Inc(I);
  end;
  Started := Millis;
  T.PackTable;
  Report('pack', Started);
  T.Close;
  T.Free;

  MakeTable(Dir, 'Peer1.dbf', 7, ['ID', 'LOCATIE', 'DAG', 'MAAND', 'JAAR'], [0, 100, 2, 2, 4],
    [True, False, False, False, False]);
  T := OpenTable(Dir, 'Peer1.dbf');
  T.AddIndex('ID', 'ID', [ixCaseInsensitive]);
  T.AddIndex('Locatie', 'SUBSTR(LOCATIE,1,91)+JAAR+MAAND+DAG', [ixExpression, ixCaseInsensitive]);
  for I := 0 to 49999 do
  begin
    T.Append;
    T.Fields[0].AsInteger := I;
    T.Fields[1].AsString := 'Ven ' + IntToStr(I * 7 mod 3001);
    T.Fields[4].AsString := IntToStr(1980 + I mod 40);
    T.Post;
  end;
  T.IndexName := 'Locatie';
  Found := 0;
  Started := Millis;
  for I := 1 to 10000 do
    if T.Locate('ID', Random(50000), []) then
      Inc(Found);
  Report('locate x10000', Started);
  T.Close;
  T.Free;
end;

begin
  if ParamCount < 2 then
    Fail('usage: dbforacle create <dir> | dump <file.dbf> [regen] | bench <dir> <n>');
  try
    if ParamStr(1) = 'create' then
      CreateAll(IncludeTrailingPathDelimiter(ParamStr(2)))
    else if (ParamStr(1) = 'olddb') and (ParamCount >= 4) then
      CreateOld(IncludeTrailingPathDelimiter(ParamStr(2)), ParamStr(3), ParamStr(4))
    else if ParamStr(1) = 'bench' then
      Bench(IncludeTrailingPathDelimiter(ParamStr(2)), StrToInt(ParamStr(3)))
    else if ParamStr(1) = 'dump' then
      Dump(ParamStr(2), (ParamCount >= 3) and (ParamStr(3) = 'regen'))
    else
      Fail('unknown command ' + ParamStr(1));
  except
    on E: Exception do
      Fail(E.ClassName + ': ' + E.Message);
  end;
end.
