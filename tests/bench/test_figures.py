"""The arithmetic of the interleaved benchmark figures (bench/figures.py)."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "bench"))
import figures  # noqa: E402


class RatioFigure(unittest.TestCase):
    def test_ratio_is_taken_per_batch(self):
        # A burst of load doubles both sides of the second batch: the ratio
        # of medians would mix batches, the median of ratios does not.
        cases = [
            ([(2, 1), (4, 2), (2, 1)], 2.0, (2.0, 2.0)),
            ([(1, 1), (3, 2), (2, 1), (5, 2)], 1.75, (1.375, 2.125)),
            ([(5, 5)], 1.0, (1.0, 1.0)),
            ([(3, 0), (2, 1)], 2.0, (2.0, 2.0)),  # a floor of zero is no batch
        ]
        for pairs, ratio, spread in cases:
            with self.subTest(pairs=pairs):
                figure = figures.ratio_figure(pairs)
                self.assertAlmostEqual(figure["ratio"], ratio)
                self.assertEqual(tuple(round(x, 6) for x in figure["spread"]), spread)

    def test_no_batches_is_an_error(self):
        for pairs in ([], [(1, 0)]):
            with self.subTest(pairs=pairs), self.assertRaises(ValueError):
                figures.ratio_figure(pairs)


class Interleave(unittest.TestCase):
    def test_order_turns_each_batch(self):
        order = []
        runners = {name: (lambda name=name: order.append(name) or name) for name in "abc"}
        results = figures.interleave(runners, 4)
        self.assertEqual("".join(order), "abc" "bca" "cab" "abc")
        self.assertEqual(results, {name: [name] * 4 for name in "abc"})


if __name__ == "__main__":
    unittest.main()
