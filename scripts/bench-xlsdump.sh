#!/usr/bin/env bash
# Reads a 10,000-row, 36-column workbook written by python3-xlwt with xlsdump, with
# python3-xlrd and with LibreOffice (converting to CSV), side by side in one run; prints
# each time and xlsdump's ratio to the others. Run by hand after a build.
set -euo pipefail
cd "$(dirname "$0")/.."
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 - "$work/big.xls" <<'PY'
import sys, xlwt
wb = xlwt.Workbook(encoding='utf-8')
ws = wb.add_sheet('工资')
heads = ['部门', '姓名', '职务', '出勤天数', '工资/天'] + ['应发工资|项目%d' % i for i in range(1, 21)] \
    + ['应扣/代扣工资|扣款%d' % i for i in range(1, 11)] + ['电子邮件地址']
for c, h in enumerate(heads):
    ws.write(0, c, h)
for r in range(1, 10001):
    ws.write(r, 0, ['财务部', '销售部', '技术部'][r % 3])
    ws.write(r, 1, '员工%d' % r)
    ws.write(r, 2, '职员')
    ws.write(r, 3, 21.5)
    ws.write(r, 4, 230)
    for c in range(5, 35):
        ws.write(r, c, (r * 37 + c * 101) % 500000 / 100)  # amounts with cents, varied
    ws.write(r, 35, 'e%d@example.com' % r)
wb.save(sys.argv[1])
PY
best() { # best of three wall times of a command, in seconds
  local b=""
  for _ in 1 2 3; do
    local s e
    s=$(date +%s.%N); "$@" >/dev/null 2>&1; e=$(date +%s.%N)
    b=$(echo "$s $e ${b:-999}" | awk '{d=$2-$1; print (d<$3)?d:$3}')
  done
  echo "$b"
}
ours=$(best build/SlipDesk/xlsdump "$work/big.xls")
xlrd=$(best /usr/bin/python3 -c "
import sys, xlrd
s = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
for r in range(s.nrows): print('\t'.join(str(v) for v in s.row_values(r)))" "$work/big.xls")
echo "xlsdump s=$ours"
echo "xlrd s=$xlrd ratio=$(echo "$xlrd $ours" | awk '{printf "%.1f", $1/$2}')"
if command -v soffice >/dev/null; then
  lo=$(best soffice --headless --norestore --convert-to csv --outdir "$work" "$work/big.xls")
  echo "libreoffice s=$lo ratio=$(echo "$lo $ours" | awk '{printf "%.1f", $1/$2}')"
else
  echo "libreoffice: not installed"
fi
