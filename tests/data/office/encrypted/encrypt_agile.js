// Encrypts an OOXML package with npm's officecrypto-tool 0.0.19 (agile: AES-256-CBC, SHA-512, 100000
// spins, with the data integrity HMAC), leaving the zip bytes inside unchanged.
//   node encrypt_agile.js PASSWORD IN OUT   (with officecrypto-tool installed by npm beside it)
const fs = require('fs');
const officeCrypto = require('officecrypto-tool');
const [password, input, output] = process.argv.slice(2);
fs.writeFileSync(output, officeCrypto.encrypt(fs.readFileSync(input), {password}));
