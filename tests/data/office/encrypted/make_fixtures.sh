#!/usr/bin/env bash
# Makes the password-protected fixtures of this folder (password 5831; 1234 for 05). Needs node with npm's
# officecrypto-tool 0.0.19 (npm install officecrypto-tool@0.0.19 in a scratch folder, NODE_PATH pointing
# to its node_modules) and LibreOffice 7.4 with python3-uno.
set -euo pipefail
cd "$(dirname "$0")"
node encrypt_agile.js 5831 ../xlsx/01_libreoffice.xlsx 01_agile.xlsx
node encrypt_agile.js 5831 ../docx/01_minimal.docx 02_agile.docx
node encrypt_agile.js 5831 ../pptx/01_shapes.pptx 04_agile.pptx
node encrypt_agile.js 1234 ../xlsx/01_libreoffice.xlsx 05_agile_other_password.xlsx
/usr/bin/python3 store_standard.py 5831 ../xlsx/01_libreoffice.xlsx 03_standard.xlsx "Calc MS Excel 2007 XML"
