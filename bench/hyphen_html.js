// The npm hyphen package's HTML mode as a whole process, for
// bench/compare_markup.sh: node hyphen_html.js LANG IN OUT (hyphen/LANG found
// through NODE_PATH).
const fs = require("fs");
const [lang, input, output] = process.argv.slice(2);
const { hyphenateSync } = require(`hyphen/${lang}`);
fs.writeFileSync(output, hyphenateSync(fs.readFileSync(input, "utf8"), { html: true }));
