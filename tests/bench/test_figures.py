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


class FirstLoud(unittest.TestCase):
    def test_first_sample_over_threshold_timed_back_from_its_fragment(self):
        def pcm(*values):
            return b"".join(v.to_bytes(2, "little", signed=True) for v in values)
        rate = 1000  # one frame a millisecond
        cases = [
            ([(10_000_000, pcm(0, 5, -400))], 1, 10_000_000),  # the last frame arrived with its fragment
            ([(10_000_000, pcm(-400, 0, 0))], 1, 8_000_000),  # negative, two frames before it
            ([(5_000_000, pcm(0, 0)), (9_000_000, pcm(0, 300, 301))], 1, 9_000_000),  # above, not at
            ([(5_000_000, pcm(0)[:1]), (9_000_000, pcm(0)[1:] + pcm(999, 0))], 1, 8_000_000),  # split frame
            ([(4_000_000, pcm(0, 0, 0, 500))], 2, 4_000_000),  # stereo: the right channel's frame
            ([(4_000_000, pcm(0, 0, 0))], 1, None),  # silence
        ]
        for fragments, channels, expected in cases:
            with self.subTest(fragments=fragments):
                self.assertEqual(figures.first_loud(fragments, rate, 300, channels), expected)


if __name__ == "__main__":
    unittest.main()
