//! zarnet_rust_peer: marks a text the way zarnet does, with the Rust
//! `hyphenation` crate (Debian's librust-hyphenation-dev) finding the breaks.
//! A point of comparison for benchmarks; it shares no code with zarnet.
//!
//!   zarnet_rust_peer [--utf8] PATTERNS SMALL LARGE INPUT OUTPUT
//!
//! PATTERNS is a zarnet pattern file in ISO-8859-1 (or ASCII); SMALL and
//! LARGE hold the raw bytes of the two alphabets. The patterns are loaded
//! into the crate's standard dictionary with minima 2 and 2 and no
//! exceptions. The text ends at its first NUL byte; every maximal run of
//! letters is folded to the small alphabet, hyphenated by the crate and
//! written in its own case with the byte 0xAC after each letter where the
//! crate allows a break (only letters 0 .. 254 of a run, as in zarnet).
//! Bytes are taken as ISO-8859-1 code points on the way to the crate.
//!
//! With --utf8 the patterns, both alphabets and the text are UTF-8 and
//! letters are characters: the k-th character of LARGE folds to the k-th of
//! SMALL, the mark is U+00AD, and a NUL is a character like any other. A
//! text that is not UTF-8 is refused.

use std::collections::HashMap;
use std::fs;
use std::process::exit;

use atlatl::fst;
use hyphenation::{Hyphenator, Language, Standard};
use hyphenation_commons::dictionary::{Exceptions, Locus, Patterns};

const MARK: u8 = 0xAC;
const MARKED_MAX: usize = 255;

fn die(message: &str) -> ! {
    eprintln!("zarnet_rust_peer: {}", message);
    exit(2);
}

fn read(path: &str) -> Vec<u8> {
    fs::read(path).unwrap_or_else(|e| die(&format!("{}: {}", path, e)))
}

fn latin1(bytes: &[u8]) -> String {
    bytes.iter().map(|&b| b as char).collect()
}

fn utf8(bytes: &[u8]) -> String {
    String::from_utf8(bytes.to_vec()).unwrap_or_else(|e| die(&format!("not UTF-8: {}", e)))
}

/// One pattern line as zarnet reads it: a `%` line is a comment, a pattern
/// ends at the first space or control byte. Returns its letters (with the
/// dots) and, per digit, the position in the letters it stands before.
fn parse(line: &[u8], decode: fn(&[u8]) -> String) -> Option<(String, Vec<Locus>)> {
    if line.first() == Some(&b'%') {
        return None;
    }
    let end = line.iter().position(|&b| b <= b' ').unwrap_or(line.len());
    let mut letters = Vec::new();
    let mut tally = Vec::new();
    for &b in &line[..end] {
        if b.is_ascii_digit() {
            // Positions count UTF-8 bytes, as the crate matches bytes.
            let index = decode(&letters).len() as u8;
            tally.push(Locus { index, value: b - b'0' });
        } else {
            letters.push(b);
        }
    }
    if letters.is_empty() {
        return None;
    }
    Some((decode(&letters), tally))
}

fn load(path: &str, decode: fn(&[u8]) -> String) -> Standard {
    let text = read(path);
    let mut ids: HashMap<Vec<Locus>, u16> = HashMap::new();
    let mut tallies: Vec<Vec<Locus>> = Vec::new();
    let mut pairs: Vec<(String, u16)> = Vec::new();
    for line in text.split(|&b| b == b'\n') {
        if let Some((letters, tally)) = parse(line, decode) {
            let next = tallies.len() as u16;
            let id = *ids.entry(tally.clone()).or_insert_with(|| {
                tallies.push(tally);
                next
            });
            pairs.push((letters, id));
        }
    }
    pairs.sort_by(|a, b| a.0.as_bytes().cmp(b.0.as_bytes()));
    pairs.dedup_by(|a, b| a.0 == b.0);
    let builder = fst::Builder::from_iter(pairs.into_iter()).unwrap_or_else(|_| die("cannot build the trie"));
    let automaton = fst::FST::from_builder(&builder).unwrap_or_else(|_| die("cannot build the trie"));
    Standard {
        language: Language::EnglishUS,
        patterns: Patterns { tallies, automaton },
        exceptions: Exceptions(HashMap::new()),
        minima: (2, 2),
    }
}

/// The UTF-8 form of the marker: letters are characters, the mark U+00AD.
fn mark_utf8(dictionary: &Standard, small: &str, large: &str, text: &str) -> String {
    let small: Vec<char> = small.chars().collect();
    let mut fold: HashMap<char, char> = small.iter().map(|&c| (c, c)).collect();
    for (k, c) in large.chars().enumerate() {
        fold.insert(c, if k < small.len() { small[k] } else { c });
    }
    let mut out = String::with_capacity(text.len() + text.len() / 4);
    let mut run: Vec<char> = Vec::new();
    let mut at_letter = Vec::new();
    let mut chars = text.chars().peekable();
    while let Some(&c) = chars.peek() {
        if !fold.contains_key(&c) {
            out.push(c);
            chars.next();
            continue;
        }
        run.clear();
        while let Some(&c) = chars.peek() {
            if !fold.contains_key(&c) {
                break;
            }
            run.push(c);
            chars.next();
        }
        let word: String = run.iter().map(|c| fold[c]).collect();
        at_letter.clear();
        at_letter.resize(word.len() + 1, usize::MAX);
        for (n, (offset, _)) in word.char_indices().enumerate() {
            at_letter[offset] = n;
        }
        let mut marks = vec![false; run.len()];
        for offset in dictionary.hyphenate(&word).breaks {
            let after = at_letter[offset] - 1;
            if after < MARKED_MAX {
                marks[after] = true;
            }
        }
        for (j, &c) in run.iter().enumerate() {
            out.push(c);
            if marks[j] {
                out.push('\u{AD}');
            }
        }
    }
    out
}

fn main() {
    let mut args: Vec<String> = std::env::args().collect();
    let utf8_text = args.len() > 1 && args[1] == "--utf8";
    if utf8_text {
        args.remove(1);
    }
    if args.len() != 6 {
        die("usage: zarnet_rust_peer [--utf8] PATTERNS SMALL LARGE INPUT OUTPUT");
    }
    if utf8_text {
        let dictionary = load(&args[1], utf8);
        let text = String::from_utf8(read(&args[4])).unwrap_or_else(|e| die(&format!("{}: not UTF-8: {}", args[4], e)));
        let out = mark_utf8(&dictionary, &utf8(&read(&args[2])), &utf8(&read(&args[3])), &text);
        fs::write(&args[5], out.as_bytes()).unwrap_or_else(|e| die(&format!("{}: {}", args[5], e)));
        return;
    }
    let dictionary = load(&args[1], latin1);
    let small = read(&args[2]);
    let large = read(&args[3]);
    let mut letter = [false; 256];
    let mut fold: Vec<u8> = (0..=255u8).collect();
    for &b in &small {
        letter[b as usize] = true;
    }
    for (k, &b) in large.iter().enumerate() {
        letter[b as usize] = true;
        if k < small.len() {
            fold[b as usize] = small[k];
        }
    }
    letter[0] = false;

    let mut text = read(&args[4]);
    if let Some(nul) = text.iter().position(|&b| b == 0) {
        text.truncate(nul);
    }
    let mut out = Vec::with_capacity(text.len() + text.len() / 4);
    let mut folded = Vec::new();
    let mut at_letter = Vec::new();
    let mut i = 0;
    while i < text.len() {
        if !letter[text[i] as usize] {
            out.push(text[i]);
            i += 1;
            continue;
        }
        let start = i;
        while i < text.len() && letter[text[i] as usize] {
            i += 1;
        }
        let run = &text[start..i];
        folded.clear();
        folded.extend(run.iter().map(|&b| fold[b as usize]));
        let word = latin1(&folded);
        // The crate gives byte offsets in the UTF-8 word: map them to letters.
        at_letter.clear();
        at_letter.resize(word.len() + 1, usize::MAX);
        for (n, (offset, _)) in word.char_indices().enumerate() {
            at_letter[offset] = n;
        }
        let mut marks = vec![false; run.len()];
        for offset in dictionary.hyphenate(&word).breaks {
            let after = at_letter[offset] - 1;
            if after < MARKED_MAX {
                marks[after] = true;
            }
        }
        for (j, &b) in run.iter().enumerate() {
            out.push(b);
            if marks[j] {
                out.push(MARK);
            }
        }
    }
    fs::write(&args[5], &out).unwrap_or_else(|e| die(&format!("{}: {}", args[5], e)));
}
