// Prob0.cs
// PSP 演習のプログラム
// 作成者: USERNAME
// Quilvane VERSION のテンプレートから作成
//
// 数値を 1 行に 1 つずつ読み込み、件数と合計を表示するだけの雛形です。
// 演習では、この読み込み処理を土台にして課題の処理を書き足していきます。

using System;
using System.Collections;
using System.Globalization;
using System.IO;

namespace PSP
{
    public class Prob0
    {
        // 1 行に 1 つずつ書かれた数値を読み込む。
        // 空行と、# で始まる行 (コメント) は読み飛ばす。
        public static ArrayList ReadNumbers(TextReader reader)
        {
            ArrayList numbers = new ArrayList();
            string line;
            while ((line = reader.ReadLine()) != null)
            {
                line = line.Trim();
                if (line.Length == 0 || line.StartsWith("#"))
                {
                    continue;
                }
                numbers.Add(double.Parse(line, CultureInfo.InvariantCulture));
            }
            return numbers;
        }

        // 引数にファイル名があればそのファイルから、なければ標準入力から読む。
        [STAThread]
        static int Main(string[] args)
        {
            TextReader reader;
            if (args.Length > 0)
            {
                try
                {
                    reader = new StreamReader(args[0]);
                }
                catch (IOException e)
                {
                    Console.WriteLine("ファイル {0} を開けません: {1}", args[0], e.Message);
                    return 1;
                }
            }
            else
            {
                reader = Console.In;
            }

            ArrayList numbers;
            try
            {
                numbers = ReadNumbers(reader);
            }
            catch (FormatException)
            {
                Console.WriteLine("数値として読めない行があります");
                return 1;
            }
            finally
            {
                reader.Close();
            }

            double sum = 0.0;
            foreach (double x in numbers)
            {
                sum += x;
            }
            Console.WriteLine("件数       {0}", numbers.Count);
            Console.WriteLine("合計       {0:F2}", sum);
            return 0;
        }
    }
}
