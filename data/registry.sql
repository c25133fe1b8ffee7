-- QVanto's office stamp registry: one row per stamp number, whoever stamped.
-- Run by the database owner (`qvanto registry init` does the same); running
-- it again upgrades an older schema and changes nothing else.
--
-- Desks log in as their own roles, members of qvanto_stamper:
--   CREATE ROLE alice LOGIN IN ROLE qvanto_stamper;
-- Readers who only check stamps are members of qvanto_auditor.
SET client_min_messages = warning;
BEGIN;

DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'qvanto_stamper') THEN
        CREATE ROLE qvanto_stamper NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'qvanto_auditor') THEN
        CREATE ROLE qvanto_auditor NOLOGIN;
    END IF;
END
$$;

CREATE TABLE IF NOT EXISTS stamps (
    number text PRIMARY KEY
);
-- Each column added on its own, so a registry made by an older version is
-- brought up to date in place.
ALTER TABLE stamps
    ADD COLUMN IF NOT EXISTS stamped_at timestamptz,
    ADD COLUMN IF NOT EXISTS server_time timestamptz NOT NULL DEFAULT now(),
    ADD COLUMN IF NOT EXISTS stamped_by name NOT NULL DEFAULT current_user,
    ADD COLUMN IF NOT EXISTS desk text,
    ADD COLUMN IF NOT EXISTS row0 text,
    ADD COLUMN IF NOT EXISTS row1 text,
    ADD COLUMN IF NOT EXISTS row2 text,
    ADD COLUMN IF NOT EXISTS row3 text,
    ADD COLUMN IF NOT EXISTS kind text,
    ADD COLUMN IF NOT EXISTS document text,
    ADD COLUMN IF NOT EXISTS document_sha256 text;

-- A stamp made while the registry was out of reach whose number another
-- desk took meanwhile: both were given out, so both are kept.
CREATE TABLE IF NOT EXISTS stamp_clashes (LIKE stamps INCLUDING DEFAULTS);
ALTER TABLE stamp_clashes ADD COLUMN IF NOT EXISTS noticed_at timestamptz NOT NULL DEFAULT now();
CREATE UNIQUE INDEX IF NOT EXISTS stamp_clashes_once
    ON stamp_clashes (number, stamped_by, desk, stamped_at);

-- Rows are never changed or removed, by anyone, the owner included. The one
-- change let through fills in a document's hash, missing until the stamped
-- file was written, by the stamper who made the row.
CREATE OR REPLACE FUNCTION qvanto_refuse_change() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP = 'UPDATE' AND OLD.document_sha256 IS NULL AND NEW.document_sha256 IS NOT NULL
        AND OLD.stamped_by = current_user
        AND (to_jsonb(NEW) - 'document_sha256') = (to_jsonb(OLD) - 'document_sha256') THEN
        RETURN NEW;
    END IF;
    RAISE EXCEPTION 'qvanto: stamp records cannot be changed or removed (%)', TG_OP
        USING ERRCODE = 'insufficient_privilege';
END
$$;

DROP TRIGGER IF EXISTS stamps_keep_rows ON stamps;
CREATE TRIGGER stamps_keep_rows BEFORE UPDATE OR DELETE ON stamps
    FOR EACH ROW EXECUTE FUNCTION qvanto_refuse_change();
DROP TRIGGER IF EXISTS stamps_keep_table ON stamps;
CREATE TRIGGER stamps_keep_table BEFORE TRUNCATE ON stamps
    FOR EACH STATEMENT EXECUTE FUNCTION qvanto_refuse_change();
DROP TRIGGER IF EXISTS stamp_clashes_keep_rows ON stamp_clashes;
CREATE TRIGGER stamp_clashes_keep_rows BEFORE UPDATE OR DELETE ON stamp_clashes
    FOR EACH ROW EXECUTE FUNCTION qvanto_refuse_change();
DROP TRIGGER IF EXISTS stamp_clashes_keep_table ON stamp_clashes;
CREATE TRIGGER stamp_clashes_keep_table BEFORE TRUNCATE ON stamp_clashes
    FOR EACH STATEMENT EXECUTE FUNCTION qvanto_refuse_change();

-- A stamper reads every row and adds rows only under its own name.
ALTER TABLE stamps ENABLE ROW LEVEL SECURITY;
ALTER TABLE stamp_clashes ENABLE ROW LEVEL SECURITY;
DROP POLICY IF EXISTS read_all ON stamps;
CREATE POLICY read_all ON stamps FOR SELECT USING (true);
DROP POLICY IF EXISTS insert_as_self ON stamps;
CREATE POLICY insert_as_self ON stamps FOR INSERT TO qvanto_stamper WITH CHECK (stamped_by = current_user);
DROP POLICY IF EXISTS hash_own ON stamps;
CREATE POLICY hash_own ON stamps FOR UPDATE TO qvanto_stamper
    USING (stamped_by = current_user) WITH CHECK (stamped_by = current_user);
DROP POLICY IF EXISTS read_all ON stamp_clashes;
CREATE POLICY read_all ON stamp_clashes FOR SELECT USING (true);
DROP POLICY IF EXISTS insert_as_self ON stamp_clashes;
CREATE POLICY insert_as_self ON stamp_clashes FOR INSERT TO qvanto_stamper
    WITH CHECK (stamped_by = current_user);
DROP POLICY IF EXISTS hash_own ON stamp_clashes;
CREATE POLICY hash_own ON stamp_clashes FOR UPDATE TO qvanto_stamper
    USING (stamped_by = current_user) WITH CHECK (stamped_by = current_user);

REVOKE ALL ON stamps, stamp_clashes FROM PUBLIC;
GRANT SELECT, INSERT ON stamps, stamp_clashes TO qvanto_stamper;
GRANT UPDATE (document_sha256) ON stamps, stamp_clashes TO qvanto_stamper;
GRANT SELECT ON stamps, stamp_clashes TO qvanto_auditor;

COMMIT;
