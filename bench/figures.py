"""How run.py turns interleaved runs into figures: each batch holds one run
of the program and one of its floor, so a burst of load on the shared machine
lands on both; a figure is the median of the per-batch ratios, with its
spread (the quartiles), beside the medians of each side."""
import statistics


def quartiles(values):
    """Lower quartile, median and upper quartile (the 'inclusive' method:
    a single value is all three)."""
    values = sorted(values)
    if not values:
        raise ValueError("no values")
    if len(values) == 1:
        return values[0], values[0], values[0]
    q1, q2, q3 = statistics.quantiles(values, n=4, method="inclusive")
    return q1, q2, q3


def ratio_figure(pairs):
    """From (program, floor) pairs, one a batch: the program's median, the
    floor's median, the median of the per-batch ratios and its quartiles."""
    pairs = [(p, f) for p, f in pairs if f > 0]
    if not pairs:
        raise ValueError("no batch with a floor above zero")
    q1, ratio, q3 = quartiles([p / f for p, f in pairs])
    return {"program": statistics.median(p for p, _ in pairs), "floor": statistics.median(f for _, f in pairs),
            "ratio": ratio, "spread": (q1, q3)}


def interleave(runners, batches):
    """Runs every runner once a batch, the order turned by one each batch so
    that none always goes first (the first start after a pause may find
    colder caches). Returns each runner's results in batch order."""
    names = list(runners)
    results = {name: [] for name in names}
    for batch in range(batches):
        turn = batch % len(names) if names else 0
        for name in names[turn:] + names[:turn]:
            results[name].append(runners[name]())
    return results


def first_loud(fragments, rate, threshold, channels=1):
    """The monotonic time (ns) of the first sample louder than threshold in a
    recording of signed 16-bit little-endian frames, given as (arrival_ns,
    bytes) fragments in order: each fragment's last frame is taken to have
    arrived with it, earlier ones one frame period apart before. None when
    the recording stays below threshold."""
    frame = 2 * channels
    rest = b""
    for arrival, data in fragments:
        data = rest + data
        whole = len(data) // frame * frame
        data, rest = data[:whole], data[whole:]
        count = whole // frame
        for i in range(0, whole, 2):
            if abs(int.from_bytes(data[i:i + 2], "little", signed=True)) > threshold:
                return arrival - (count - 1 - i // frame) * 1_000_000_000 // rate
    return None
