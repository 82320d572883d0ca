// Taiwanese identity-card numbers and the other numbers of a form, with the field names of
// taloma-id's JSON rows. Await `ready` once before the first call.

export type Kind =
  | "national" | "resident" | "resident-old"
  | "business" | "certificate" | "carrier" | "donation" | "mobile";
export type Sex = "male" | "female";
export type Category = "foreign" | "unregistered" | "hong-kong-macao" | "mainland-china";
export type Reason = "length" | "letter" | "second" | "digit" | "check" | "character";

/** A verdict; a field that does not apply is undefined (and left out by JSON.stringify). */
export interface Verdict {
  valid: boolean;
  /** Set for a valid number, and for any verdict on the kinds beyond the identity ones. */
  kind?: Kind;
  sex?: Sex;
  category?: Category;
  letter?: string;
  place?: string;
  /** The first rule broken, for an invalid number. */
  reason?: Reason;
  /** The character (from 1) that breaks it. */
  position?: number;
  /** The right check digit, "0" to "9" (for 統一編號 the smallest last digit that passes). */
  expected?: string;
}

export interface Row extends Verdict {
  input: string;
}

export interface ScanRow extends Row {
  line: number;
  /** In characters, from 1. */
  column: number;
  /** Where the number stands, in UTF-16 units: `text.slice(offset, offset + length)` is it. */
  offset: number;
  length: number;
}

export interface KindOptions {
  /** The kinds accepted; the identity kinds when left out. */
  kinds?: Kind[] | string;
  /** 統一編號 by the rule before April 2023. */
  before2023?: boolean;
}

export interface DecodeOptions extends KindOptions {
  /** "zh-TW" for Chinese; English otherwise. */
  lang?: string;
}

export interface ScanOptions extends KindOptions {
  /** Also what has a number's shape but is not valid. */
  nearMisses?: boolean;
  /** Invisible formatting characters inside an identity number do not break it; lower-case letters count as capitals. */
  normalize?: boolean;
  /** 統一編號, 自然人憑證 and 捐贈碼 only where a label (統編, 憑證, 捐贈碼, ...) names them. */
  labelled?: boolean;
}

export interface GenerateOptions {
  count?: number;
  /** 0 to 2^64 - 1; a random one when left out. */
  seed?: number | bigint | string;
  /** Any kind but "mobile"; "national" when left out. */
  kind?: Exclude<Kind, "mobile">;
  /** Letters or names, such as ["A", "臺北市"] or "A,F". */
  places?: string[] | string;
  sex?: Sex;
  categories?: Category[] | string;
  unique?: boolean;
  /** Only the letters still issued. */
  current?: boolean;
  /** 統一編號 that only the 2023 rule accepts. */
  since2023?: boolean;
}

export interface Place {
  letter: string;
  value: number;
  place: string;
  area_code?: string;
  postal_count: number;
  last_issued?: number;
}

export interface District {
  letter?: string;
  place?: string;
  district: string;
  postal_code: string;
}

/** Settles when the module is loaded; every other function needs it. */
export declare const ready: Promise<void>;

export declare function check(input: string, options?: KindOptions): Row;
/** The verdict on each input, in order: rows without their input (which is inputs[i]), shared
 * and frozen where verdicts are equal, so that a million checks make no million objects. */
export declare function check(inputs: readonly string[], options?: KindOptions): Readonly<Verdict>[];
/** The verdicts on many inputs as columns, each entry for the input at the same index: for bulk
 * work, a million inputs in about the time of reading their characters. */
export interface Columns {
  /** 1 where the input is valid, 0 where it is not. */
  valid: Uint8Array;
  /** The input's verdict as an index into `verdicts`. */
  verdict: Uint16Array;
  /** The different verdicts among the inputs, each once: the fields of a row but the input. */
  verdicts: readonly Readonly<Verdict>[];
}
export declare function checkColumns(inputs: readonly string[], options?: KindOptions): Columns;
export declare function decode(input: string, options?: DecodeOptions): string;
export declare function generate(options?: GenerateOptions): string[];
export declare function scan(text: string, options?: ScanOptions): ScanRow[];
export declare function redact(text: string, options?: ScanOptions): string;
/** A pseudonym's key (32 bytes, readKey reads a key file) and context (none by default). */
export interface PseudonymOptions extends ScanOptions {
  key: Uint8Array;
  context?: string;
}
/** The text with each valid number replaced by its pseudonym, a valid number of its kind written
 * the same way, as taloma-id scan --pseudonymize writes it; what cannot have one is masked as
 * redact masks it. In Node only: the AES comes from node:crypto. */
export declare function pseudonymize(text: string, options: PseudonymOptions): string;
/** The text with each pseudonym turned back into its number, as taloma-id scan --reveal. */
export declare function reveal(text: string, options: PseudonymOptions): string;
/** The key in a key file that taloma-id key wrote; warns when other users may read the file. */
export declare function readKey(path: string): Uint8Array;
export declare function places(options?: { postal?: false }): Place[];
export declare function places(options: { postal: true }): District[];
/** "2.00", once ready. */
export declare function version(): string | null;
