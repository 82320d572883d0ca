// A typed program against the package's declarations, compiled with tsc --strict.
import { check, checkColumns, generate, places, pseudonymize, ready, scan, type Columns, type Row, type ScanRow,
  type Verdict } from "taloma";

export async function main(): Promise<string[]> {
  await ready;
  const one: Row = check("A123456789", { kinds: ["national"] });
  const many: readonly Readonly<Verdict>[] = check(["04595257", "0912-345-678"], { kinds: "business,mobile" });
  const found: ScanRow[] = scan("A123456789", { nearMisses: true });
  const columns: Columns = checkColumns(["A123456789"], { kinds: ["national"] });
  const kind: string | undefined = columns.verdicts[columns.verdict[0] ?? 0]?.kind;
  const numbers: string[] = generate({ count: 2, seed: 1n, kind: "resident", categories: ["foreign"] });
  const postal = places({ postal: true }).map((d) => d.postal_code);
  const reason: string | undefined = one.valid ? undefined : one.reason;
  const pseudonym: string = pseudonymize("A123456789", { key: new Uint8Array(32), context: "crm" });
  return [...numbers, ...postal, String(many.length), String(found[0]?.column), reason ?? "", kind ?? "", pseudonym];
}
