# Prob1 の準備: プロジェクトフォルダ Prob1 が初めて作られたときに一度だけ、
# プログラムのフォルダを作業フォルダとして実行されます。
# 異常系のテストに使う入力を Prob1/testdata に作ります (数値なしと、数値 1 つ)。
mkdir -p Prob1/testdata
printf '# no numbers\r\n' > Prob1/testdata/empty.txt
printf '# one number\r\n42\r\n' > Prob1/testdata/one.txt
