#!/usr/bin/env bash
# The summary page in a real browser: Chromium (headless) loads pages made from the golden logs,
# from a folder of them and from a hostile log, and the DOM it built is checked: one <details>
# per section, one finding block per finding, the sections marked by word and symbol, and no
# element made from the log's text. The page itself fetches nothing and holds no script.
#   summary_page.sh PROGRAM GOLDEN_DIR [SCREENSHOT]   (exit 77: no Chromium, skipped)
set -u
program=$1
golden=$2
screenshot=${3:-}
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
    echo "SKIP: no chromium (scripts/setup.sh installs it)"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

dom() {
    timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-background-networking \
        --no-first-run --disable-component-update --disable-sync \
        --user-data-dir="$work/profile" --dump-dom "file://$1" 2>/dev/null
}

# A log whose registry values, a heading and a failure try to become markup.
python3 - "$golden/whole-64bit.log" "$work/hostile.txt" <<'EOS'
import sys
lines = open(sys.argv[1], encoding='latin-1').read().split('\n')
i = lines.index('"sShortDate"="M/d/yyyy"')
lines[i:i] = ['"a"="<script>document.title=\'owned\'</script>"',
              '"b"="</pre></details><h1 id=\\"owned\\">owned</h1><details><pre>"',
              '"c"="<img src=x onerror=alert(1)> &amp; &lt;b&gt;"']
j = lines.index('Windows OS Information')
lines[j] = 'Windows OS Information</summary><b id="owned">x</b>'
k = lines.index('Skype Test: Failed ()') if 'Skype Test: Failed ()' in lines else None
lines.insert(12, 'Skype Test: Failed (<a href="http://example.com/">x</a></code></div>)')
open(sys.argv[2], 'w', encoding='latin-1', newline='').write('\r\n'.join(lines))
EOS

check() { # check NAME PAGE JSON
    dom "$2" >"$work/$1.dom" || fail "$1: the browser did not load the page"
    python3 - "$2" "$work/$1.dom" "$3" "$1" <<'EOS' || failures=$((failures + 1))
import sys, json, html.parser
page, dom, summary, name = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
problems = []
text = open(page, encoding='utf-8').read()
import re
for forbidden in (r'<script', r'<[a-z][^>]*\s(src|href)=', r'@import', r'url\('):
    if re.search(forbidden, text, re.I):
        problems.append('the page holds ' + forbidden)

class Dom(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.tags, self.stack, self.inside_pre_elements, self.ids = [], [], [], []
        self.details, self.findings, self.marks = [], 0, []
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if any(t in ('pre', 'code') for t in self.stack):
            self.inside_pre_elements.append(tag)
        self.tags.append(tag)
        if 'id' in a: self.ids.append(a['id'])
        if tag == 'details': self.details.append(a.get('class', ''))
        if tag == 'div' and a.get('class') == 'finding': self.findings += 1
        if tag not in ('meta', 'br', 'img', 'link', 'input'): self.stack.append(tag)
    def handle_endtag(self, tag):
        if tag in self.stack:
            while self.stack and self.stack.pop() != tag: pass
    def handle_data(self, data):
        if self.stack and self.stack[-1] == 'span' and ('passed' in data or 'needs a look' in data):
            self.marks.append(data)

d = Dom()
d.feed(open(dom, encoding='utf-8').read())
if d.inside_pre_elements: problems.append('elements inside the log text: %s' % d.inside_pre_elements)
for bad in ('script', 'img', 'a', 'b'):
    if bad in d.tags and bad != 'b': problems.append('a <%s> element' % bad)
if 'owned' in d.ids: problems.append('an element made from the log')
if d.tags.count('h1') != 1: problems.append('%d h1 elements' % d.tags.count('h1'))
s = json.load(open(summary))
sections = s['counts']['sections'] + 1  # and the preamble
if len(d.details) != sections:
    problems.append('%d details for %d sections' % (len(d.details), sections))
findings = sum(len(x['findings']) for x in s['sections'])
if d.findings != findings: problems.append('%d finding blocks for %d findings' % (d.findings, findings))
looks = sum(1 for c in d.details if 'look' in c)
if looks != len(s['sections']): problems.append('%d sections need a look, %d have findings' % (looks, len(s['sections'])))
if len(d.marks) != sections or not all(('\u2714 passed' in m) or ('\u2718 needs a look' in m) for m in d.marks):
    problems.append('marks: %s' % d.marks[:3])
for p in problems: print('FAIL: %s: %s' % (name, p))
print('%s: %d sections, %d findings, %d elements' % (name, sections, findings, len(d.tags)))
sys.exit(1 if problems else 0)
EOS
}

for log in whole-64bit.log whole-32bit-minimal.log inspection-64bit.log "$work/hostile.txt"; do
    path=$log
    [ -f "$path" ] || path=$golden/$log
    name=$(basename "$log" .log)
    "$program" summary --html -o "$work/$name.html" "$path" || fail "$name: summary --html"
    "$program" summary --json "$path" >"$work/$name.json" || fail "$name: summary --json"
    check "$name" "$work/$name.html" "$work/$name.json"
done
grep -q '&lt;script&gt;' "$work/hostile.txt.html" 2>/dev/null || grep -q '&lt;script&gt;' "$work/hostile.html" ||
    fail "the hostile value is not shown as text"

# A folder's page: its table of kinds first, then one row per file.
mkdir -p "$work/folder"
cp "$golden"/whole-*.log "$work/hostile.txt" "$work/folder/"
"$program" summary --html -o "$work/folder.html" "$work/folder" || fail "summary --html FOLDER"
dom "$work/folder.html" >"$work/folder.dom" || fail "the browser did not load the folder page"
python3 - "$work/folder.dom" <<'EOS' || failures=$((failures + 1))
import sys, re
dom = open(sys.argv[1], encoding='utf-8').read()
kinds, logs = dom.find('id="kinds"'), dom.find('id="logs"')
rows = len(re.findall(r'<tr>', dom[logs:]))
if not (0 < kinds < logs): print('FAIL: folder: the table of kinds is not first'); sys.exit(1)
if rows != 5: print('FAIL: folder: %d log rows for 4 files' % (rows - 1)); sys.exit(1)
bad = re.search(r'<[a-z]+[^<>]*\sid="owned"|<script|<img|<a\s', dom)
if bad:
    print('FAIL: folder: markup from a log: ' + dom[max(0, bad.start() - 60):bad.end() + 40]); sys.exit(1)
print('folder: kinds first, %d log rows' % (rows - 1))
EOS

if [ -n "$screenshot" ]; then
    "$browser" --headless --no-sandbox --disable-gpu --disable-background-networking --no-first-run \
        --disable-component-update --disable-sync --user-data-dir="$work/profile" \
        --window-size=1100,1400 --screenshot="$screenshot" "file://$work/whole-64bit.html" 2>/dev/null
fi
[ "$failures" -eq 0 ] || exit 1
echo "summary pages: all checks passed"
