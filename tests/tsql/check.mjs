// Checks statements and DDL as T-SQL, for the SQL Server path:
//  (a) each must parse with node-sql-parser's transactsql grammar;
//  (b) none may hold a construct only SQLite understands. The grammar is
//      permissive (it takes LIMIT, || and SQLite's functions), so (b) is what
//      guards the path; it scans tokens, so text in quotes never counts;
//  (c) given the DDL too, every parameter of an insert, update or delete must
//      fit the column it is written to or compared with (its type, and a
//      text column at least as long as the parameter's declared size).
// Named parameters ":name" are turned into "@name" before parsing: the grammar
// takes both, but "@name" is what T-SQL itself writes, and "?" (what the
// engine is sent) is not in the grammar.
//
//   node check.mjs --statements FILE.jsonl   one {"sql": ..., "from": ...} a line
//   node check.mjs --ddl FILE.sql...         statements ending with ";" or GO
//   node check.mjs --self-test               the check refuses what it must
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import pkg from 'node-sql-parser';

const { Parser } = pkg;
const parser = new Parser();

// ---- Tokens ----------------------------------------------------------------

const OPERATORS = ['*=', '=*', '||', '<=', '>=', '<>', '!=', '!<', '!>', '::'];

// Splits a text into tokens {kind, text, at}: word, number, string (single
// quotes), quoted (double quotes), bracketed ([name]), backtick, param, op.
// Comments and blanks are dropped.
export function tokenize(sql) {
  const tokens = [];
  let i = 0;
  const n = sql.length;
  while (i < n) {
    const c = sql[i];
    const start = i;
    if (/\s/.test(c)) { i++; continue; }
    if (sql.startsWith('--', i)) { while (i < n && sql[i] !== '\n') i++; continue; }
    if (sql.startsWith('/*', i)) { const e = sql.indexOf('*/', i + 2); i = e < 0 ? n : e + 2; continue; }
    if (c === "'" || c === '"' || c === '`') {
      i++;
      while (i < n) {
        if (sql[i] === c && sql[i + 1] === c) { i += 2; continue; }
        if (sql[i] === c) { i++; break; }
        i++;
      }
      tokens.push({ kind: c === "'" ? 'string' : c === '"' ? 'quoted' : 'backtick', text: sql.slice(start, i), at: start });
      continue;
    }
    if (c === '[') {
      const e = sql.indexOf(']', i);
      i = e < 0 ? n : e + 1;
      tokens.push({ kind: 'bracketed', text: sql.slice(start, i), at: start });
      continue;
    }
    if ((c === ':' || c === '@') && /[A-Za-z_]/.test(sql[i + 1] ?? '') && sql[i - 1] !== ':') {
      i++;
      while (i < n && /[A-Za-z0-9_]/.test(sql[i])) i++;
      tokens.push({ kind: 'param', text: sql.slice(start, i), at: start });
      continue;
    }
    if (/[A-Za-z_#\u0080-\uffff]/.test(c)) {
      while (i < n && /[A-Za-z0-9_#$@\u0080-\uffff]/.test(sql[i])) i++;
      tokens.push({ kind: 'word', text: sql.slice(start, i), at: start });
      continue;
    }
    if (/[0-9]/.test(c) || (c === '.' && /[0-9]/.test(sql[i + 1] ?? ''))) {
      while (i < n && /[0-9.eE]/.test(sql[i])) i++;
      tokens.push({ kind: 'number', text: sql.slice(start, i), at: start });
      continue;
    }
    const op = OPERATORS.find((o) => sql.startsWith(o, i));
    i += op ? op.length : 1;
    tokens.push({ kind: 'op', text: sql.slice(start, i), at: start });
  }
  return tokens;
}

// ":name" parameters as "@name"; everything else as it is.
export function withAtParams(sql) {
  let out = '';
  let copied = 0;
  for (const t of tokenize(sql)) {
    if (t.kind !== 'param' || t.text[0] !== ':') continue;
    out += sql.slice(copied, t.at) + '@' + t.text.slice(1);
    copied = t.at + t.text.length;
  }
  return out + sql.slice(copied);
}

// ---- Constructs only SQLite understands -------------------------------------

const word = (t, w) => t && t.kind === 'word' && t.text.toLowerCase() === w;
const op = (t, o) => t && t.kind === 'op' && t.text === o;
const call = (name, use) => ({
  name: `${name}(`, use,
  at: (ts, k) => word(ts[k], name.toLowerCase()) && op(ts[k + 1], '(') && !op(ts[k - 1], '.'),
});

const SQLITE_ONLY = [
  { name: 'LIMIT', use: 'top N', at: (ts, k) => word(ts[k], 'limit') },
  { name: '||', use: '+ to join texts', at: (ts, k) => op(ts[k], '||') },
  { name: '*= or =* outer join', use: 'LEFT OUTER JOIN (SQL Server 2005 and later refuse it)',
    at: (ts, k) => op(ts[k], '*=') || op(ts[k], '=*') },
  call('Length', 'Len'),
  call('IfNull', 'IsNull'),
  call('Substr', 'Left or Substring'),
  call('Instr', 'CharIndex'),
  call('datetime', "GetDate() or Convert"),
  call('date', 'Convert'),
  call('time', 'Convert'),
  call('julianday', 'DateDiff'),
  call('strftime', 'Convert'),
  call('printf', 'Convert or Str'),
  call('group_concat', 'a loop in the caller'),
  call('typeof', 'SQL_Variant_Property'),
  call('last_insert_rowid', 'Scope_Identity()'),
  call('changes', '@@RowCount'),
  call('random', 'NewID() or Rand()'),
  call('total', 'Sum'),
  { name: 'COLLATE NOCASE', use: 'a case-insensitive collation of the database',
    at: (ts, k) => word(ts[k], 'collate') && word(ts[k + 1], 'nocase') },
  { name: 'AUTOINCREMENT', use: 'identity(1,1)', at: (ts, k) => word(ts[k], 'autoincrement') },
  { name: 'INSERT OR REPLACE/IGNORE', use: 'update, then insert when no row was affected',
    at: (ts, k) => (word(ts[k], 'insert') || word(ts[k], 'replace')) && word(ts[k + 1], 'or') },
  { name: 'REPLACE INTO', use: 'update, then insert', at: (ts, k) => word(ts[k], 'replace') && word(ts[k + 1], 'into') },
  { name: 'ON CONFLICT', use: 'update, then insert', at: (ts, k) => word(ts[k], 'on') && word(ts[k + 1], 'conflict') },
  { name: 'rowid', use: 'a key column', at: (ts, k) => word(ts[k], 'rowid') || word(ts[k], '_rowid_') || word(ts[k], 'oid') },
  { name: 'GLOB', use: 'LIKE', at: (ts, k) => word(ts[k], 'glob') },
  { name: 'PRAGMA', use: 'nothing: SQLite only', at: (ts, k) => word(ts[k], 'pragma') },
  { name: 'TRUE/FALSE', use: '1/0', at: (ts, k) => word(ts[k], 'true') || word(ts[k], 'false') },
  { name: '"double-quoted"', use: "'text' (in T-SQL \"x\" names a column)", at: (ts, k) => ts[k].kind === 'quoted' },
  { name: '`backtick`', use: '[name]', at: (ts, k) => ts[k].kind === 'backtick' },
  { name: '::', use: 'Cast or Convert', at: (ts, k) => op(ts[k], '::') },
];

// The SQLite-only constructs in a text, each as "NAME (use ...)".
export function sqliteOnly(sql) {
  const ts = tokenize(sql);
  const found = [];
  for (let k = 0; k < ts.length; k++)
    for (const c of SQLITE_ONLY)
      if (c.at(ts, k)) found.push(`${c.name} (use ${c.use})`);
  return found;
}

// ---- Parsing ------------------------------------------------------------------

// The grammar's limits: forms SQL Server accepts that the grammar refuses.
// Each matches narrowly, says why, and gives the part that is parsed instead.
const PARSER_LIMITS = [
  {
    // node-sql-parser 5.4's transactsql CREATE VIEW takes a select of one
    // column only; the view's select is parsed on its own.
    why: 'CREATE VIEW with a select of several columns',
    match: /^(?:\s*--[^\n]*\n)*\s*create\s+view\s+\w+\s+as\s+(select\b[\s\S]*)$/i,
  },
];

function parseProblem(sql) {
  let text = withAtParams(sql);
  for (const limit of PARSER_LIMITS) {
    const m = limit.match.exec(text);
    if (m) text = m[1];
  }
  try {
    parser.astify(text, { database: 'transactsql' });
    return null;
  } catch (e) {
    return String(e.message).split('\n')[0].slice(0, 300);
  }
}

// Every fault of one statement: a parse failure and each SQLite-only construct.
export function problems(sql) {
  const out = sqliteOnly(sql).map((p) => `SQLite only: ${p}`);
  const parse = parseProblem(sql);
  if (parse) out.push(`does not parse as T-SQL: ${parse}`);
  return out;
}

// Statements of a DDL file: split at ";" outside quotes and comments, and at
// the batch separator GO on a line of its own.
export function ddlStatements(text) {
  const out = [];
  let start = 0;
  const isGo = (t) => word(t, 'go') && /(^|\n)[ \t]*$/.test(text.slice(0, t.at)) &&
    /^[ \t]*(\r?\n|$)/.test(text.slice(t.at + 2));
  for (const t of tokenize(text)) {
    if (!op(t, ';') && !isGo(t)) continue;
    const s = text.slice(start, t.at).trim();
    if (tokenize(s).length > 0) out.push(s);
    start = t.at + t.text.length;
  }
  if (tokenize(text.slice(start)).length > 0) out.push(text.slice(start).trim());
  return out;
}

// ---- Parameters against the columns they are written to --------------------

const lower = (s) => String(s).toLowerCase();

// The columns of the CREATE TABLE statements: table -> column -> definition,
// names in lower case.
export function ddlColumns(statements) {
  const tables = new Map();
  for (const sql of statements) {
    let ast;
    try { ast = parser.astify(sql, { database: 'transactsql' }); } catch { continue; }
    for (const a of [ast].flat()) {
      if (a.type !== 'create' || a.keyword !== 'table') continue;
      const columns = tables.get(lower(a.table[0].table)) ?? new Map();
      for (const d of a.create_definitions ?? [])
        if (d.resource === 'column') columns.set(lower(d.column.column), d.definition);
      tables.set(lower(a.table[0].table), columns);
    }
  }
  return tables;
}

const paramName = (e) => e && e.type === 'column_ref' && String(e.column).startsWith('@') ? lower(e.column.slice(1)) : null;
const columnName = (e) => e && e.type === 'column_ref' && !String(e.column).startsWith('@') ? lower(e.column) : null;

// Pairs "column = :param" in a condition.
function conditionPairs(e, out) {
  if (!e || typeof e !== 'object') return out;
  if (e.type === 'binary_expr' && e.operator === '=') {
    const [c, p] = paramName(e.right) ? [columnName(e.left), paramName(e.right)] : [columnName(e.right), paramName(e.left)];
    if (c && p) out.push([c, p]);
  }
  conditionPairs(e.left, out);
  conditionPairs(e.right, out);
  return out;
}

// The [table, column, param] triples of an insert, update or delete: the
// columns its parameters are written to or compared with.
export function paramColumns(sql) {
  let ast;
  try { ast = parser.astify(withAtParams(sql), { database: 'transactsql' }); } catch { return []; }
  const out = [];
  for (const a of [ast].flat()) {
    if (!['insert', 'update', 'delete'].includes(a.type)) continue;
    const table = lower((a.table?.[0] ?? a.from?.[0])?.table ?? '');
    if (a.type === 'insert') {
      const values = a.values?.values?.[0]?.value ?? [];
      (a.columns ?? []).forEach((c, i) => { const p = paramName(values[i]); if (p) out.push([table, lower(c), p]); });
    }
    for (const s of a.set ?? []) { const p = paramName(s.value); if (p) out.push([table, lower(s.column), p]); }
    for (const [c, p] of conditionPairs(a.where, [])) out.push([table, c, p]);
  }
  return out;
}

const TEXT_TYPES = ['CHAR', 'VARCHAR', 'NCHAR', 'NVARCHAR', 'TEXT', 'NTEXT'];
const NUMBER_TYPES = ['INT', 'INTEGER', 'SMALLINT', 'TINYINT', 'BIGINT', 'BIT', 'FLOAT', 'REAL', 'DECIMAL', 'NUMERIC', 'MONEY', 'SMALLMONEY'];
const DATE_TYPES = ['DATETIME', 'SMALLDATETIME', 'DATE', 'DATETIME2'];
const ACCEPTS = {
  string: [...TEXT_TYPES, ...DATE_TYPES],  // dates and times as "YYYY-MM-DD HH:NN:SS" text
  memo: TEXT_TYPES,
  integer: NUMBER_TYPES,
  float: ['FLOAT', 'REAL', 'DECIMAL', 'NUMERIC', 'MONEY', 'SMALLMONEY'],
  datetime: DATE_TYPES,
};

// What is wrong between a statement's parameters (as sent) and the columns
// of the DDL: a column the DDL lacks, a type that does not take the value,
// a text column shorter than the parameter's declared size.
export function columnProblems(sql, params, tables) {
  const out = [];
  const byName = new Map(params.map((p) => [lower(p.name), p]));
  for (const [table, column, name] of paramColumns(sql)) {
    const p = byName.get(name);
    const columns = tables.get(table);
    if (!columns) { out.push(`table ${table} is not in the DDL`); continue; }
    const def = columns.get(column);
    if (!def) { out.push(`column ${table}.${column} is not in the DDL`); continue; }
    if (!p) continue;
    const type = String(def.dataType).toUpperCase();
    if (!(ACCEPTS[p.type] ?? []).includes(type))
      out.push(`:${name} (${p.type}) goes to ${table}.${column}, which is ${type}`);
    else if (p.type === 'string' && p.size > 0 && typeof def.length === 'number' && def.length < p.size)
      out.push(`:${name} has size ${p.size} but ${table}.${column} is ${type}(${def.length})`);
  }
  return out;
}

// ---- The self-test: the check bites ------------------------------------------

// Each with the problem it must be refused for.
const MUST_FAIL = [
  ['untranslated outer join', 'select m.*,s.MealSectionName from MenuSuite m,MealSection s where m.MealSectionCode*=s.MealSectionCode', '*='],
  ['right outer join, old form', 'select a.x from A a,B b where a.x=*b.y', '=*'],
  ['LIMIT', 'select MenuItemCode from MenuItem order by MenuItemCode limit 1', 'LIMIT'],
  ['||', "select MenuItemCode||'-'||MenuItemCName from MenuItem", '||'],
  ['Length(', 'select Length(MenuItemCode) from MenuItem', 'Length('],
  ['IfNull(', 'select MenuItemCode from MenuItem where IfNull(Deleted,0)=0', 'IfNull('],
  ['substr(', 'select substr(CostCardNo,1,5) from CostCard', 'Substr('],
  ["datetime('now')", "update Group_Hotel set UserVersion=datetime('now','localtime') where HotelID=:hotelid", 'datetime('],
  ['COLLATE NOCASE', "select UserID from HotelUser where UserName='a' collate nocase", 'COLLATE NOCASE'],
  ['AUTOINCREMENT', 'create table GiftDishRole (ID integer primary key autoincrement, RoleName varchar(250))', 'AUTOINCREMENT'],
  ['INSERT OR REPLACE', 'insert or replace into BackReason(BackReasonDesc) values(:backreasondesc)', 'INSERT OR'],
  ['rowid', 'delete from MenuItem where rowid=1', 'rowid'],
  ['TRUE', 'select UserID from HotelUser where Deleted=true', 'TRUE'],
  ['double quotes', 'select UserID from HotelUser where UserName="a"', 'double-quoted'],
  ['not T-SQL at all', 'select from where', 'does not parse'],
  ['unbalanced', 'select (MenuItemCode from MenuItem', 'does not parse'],
  ['view over a broken select', 'create view V as select UserID, from HotelUser', 'does not parse'],
];

const MUST_PASS = [
  ['translated outer join', 'select m.*,s.MealSectionName from MenuSuite m left outer join MealSection s on m.MealSectionCode=s.MealSectionCode order by MenuSuiteNo'],
  ['server functions', "select top 1 Left(MenuItemCode,2),Len(MenuItemCName) from MenuItem where IsNull(Deleted,0)=0 and MenuItemCName<>'a||b limit 1'"],
  ['GetDate and parameters', 'update Group_Hotel set UserVersion=GetDate() where HotelID=:hotelid'],
  ['identity column', 'create table GiftDishRole (ID int identity(1,1) primary key, RoleName varchar(250) null)'],
  ['view', 'create view HotelUser_V as select UserID, UserName from HotelUser'],
];

// Parameters against a small schema: [what, statement, params, expected problem or null].
const SCHEMA = ['create table T (A varchar(4) null, B int null, C float null, D datetime null, M text null)'];
const COLUMN_CASES = [
  ['fits', 'insert into T(A,B,C,D,M) values(:a,:b,:c,:d,:m)',
    [{ name: 'a', type: 'string', size: 4 }, { name: 'b', type: 'integer' }, { name: 'c', type: 'float' },
      { name: 'd', type: 'datetime' }, { name: 'm', type: 'memo' }], null],
  ['date as text', 'update T set D=:d where A=:a', [{ name: 'd', type: 'string', size: 19 }, { name: 'a', type: 'string', size: 4 }], null],
  ['longer than the column', 'update T set A=:a', [{ name: 'a', type: 'string', size: 8 }], 'size 8'],
  ['longer in a condition', 'delete from T where A=:a', [{ name: 'a', type: 'string', size: 5 }], 'size 5'],
  ['fraction into an integer', 'insert into T(B) values(:b)', [{ name: 'b', type: 'float' }], 'which is INT'],
  ['unknown column', 'update T set E=:e', [{ name: 'e', type: 'integer' }], 'not in the DDL'],
  ['unknown table', 'insert into U(A) values(:a)', [{ name: 'a', type: 'string', size: 1 }], 'not in the DDL'],
];

function selfTest() {
  let bad = 0;
  const tables = ddlColumns(SCHEMA);
  for (const [what, sql, params, expect] of COLUMN_CASES) {
    const p = columnProblems(sql, params, tables);
    if (expect ? !p.some((x) => x.includes(expect)) : p.length > 0) {
      console.log(`WRONG column check: ${what}: ${p.join('; ') || 'no problem'}`);
      bad++;
    }
  }
  for (const [what, sql, expect] of MUST_FAIL) {
    const p = problems(sql);
    if (!p.some((x) => x.includes(expect))) { console.log(`NOT REFUSED for ${expect}: ${what}: ${sql} (${p.join('; ')})`); bad++; }
  }
  for (const [what, sql] of MUST_PASS) {
    const p = problems(sql);
    if (p.length > 0) { console.log(`REFUSED: ${what}: ${p.join('; ')}`); bad++; }
  }
  console.log(`self-test: ${MUST_FAIL.length} statements to refuse, ${MUST_PASS.length} to accept, ` +
    `${COLUMN_CASES.length} parameter and column cases; ${bad} wrong`);
  return bad === 0;
}

// ---- Command line ----------------------------------------------------------

function report(label, sql, found) {
  console.log(`FAIL ${label}\n  ${found.join('\n  ')}\n  ${sql.trim().replace(/\n/g, '\n  ')}`);
}

function main(argv) {
  const ddl = [];
  const statements = [];
  let mode = null;
  let ok = true;
  let checked = 0;
  let failed = 0;
  if (argv.length === 0) {
    console.error('usage: node check.mjs --statements FILE.jsonl | --ddl FILE.sql... | --self-test');
    return 2;
  }
  for (const arg of argv) {
    if (arg.startsWith('--')) {
      mode = arg;
      if (mode === '--self-test') ok = selfTest() && ok;
      else if (mode !== '--statements' && mode !== '--ddl') { console.error(`unknown option ${arg}`); return 2; }
      continue;
    }
    const text = readFileSync(arg, 'utf8');
    const items = mode === '--statements'
      ? text.split('\n').filter((l) => l.trim()).map((l) => JSON.parse(l))
      : mode === '--ddl' ? ddlStatements(text).map((sql, i) => ({ sql, from: `${arg} statement ${i + 1}` }))
      : null;
    if (!items) { console.error(`${arg}: say --statements or --ddl first`); return 2; }
    (mode === '--ddl' ? ddl : statements).push(...items);
    if (items.length === 0) { console.log(`FAIL ${arg}: no statements`); ok = false; }
    for (const { sql, from } of items) {
      checked++;
      const found = problems(sql);
      if (found.length > 0) { report(from, sql, found); failed++; }
    }
  }
  // With the DDL at hand, every parameter must fit the column it is written to.
  if (ddl.length > 0 && statements.length > 0) {
    const tables = ddlColumns(ddl.map((d) => d.sql));
    for (const { sql, from, params } of statements) {
      const found = columnProblems(sql, params ?? [], tables);
      if (found.length > 0) { report(from, sql, found); failed++; }
    }
  }
  if (checked > 0) console.log(`${checked} statements checked as T-SQL, ${failed} refused`);
  return ok && failed === 0 ? 0 : 1;
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) process.exitCode = main(process.argv.slice(2));
